#include "tools/commands/server_draws.h"

#include "draws/fetch_recent_draws.h"
#include "platform/clock.h"
#include "platform/http_curl.h"
#include "platform/ports.h"
#include "server/cloud_client.h"

namespace sscplan::cli {
namespace {

// A terminal has no message box: the text is kept for the error line.
class KeptMessages final : public MessageBoxes {
public:
    void inform(const std::string&) override {}
    bool confirm(const std::string&) override { return false; }
};

bool isPadding(const DrawRecord& draw) { return draw == DrawRecord{}; }

}  // namespace

ServerDraws fetchServerDraws(const std::string& initUrl, std::int32_t count, std::int32_t appId) {
    const CurlGlobal curl;
    CurlTransport transport;
    const SystemClock clock;
    NoEventPump events;
    CloudClient client(transport, clock, events);
    ServerDraws result;
    if (!client.init(initUrl, appId)) {
        result.error = client.lastError();
        return result;
    }
    KeptMessages messages;
    if (!fetchRecentDraws(client, messages, count, result.draws)) {
        result.error = client.lastError();
        return result;
    }
    while (!result.draws.empty() && isPadding(result.draws.back())) result.draws.pop_back();
    result.ok = true;
    return result;
}

}  // namespace sscplan::cli
