// Newest-draw answers from outside as the draw clock reads them: the announced draw time
// becomes the countdown, whatever text it is. A time that reads as a date-time must name
// the day it says: the clock may not count down to some other day.
#include <ctime>

#include "draws/draw_clock.h"
#include "fuzz/fuzz_support.h"
#include "platform/clock.h"
#include "platform/ports.h"
#include "server/cloud_client.h"
#include "server/draw_table.h"

namespace {

using namespace sscplan;
using fuzz::require;

// Answers every newest-draw query with the pieces of the input and the latest-period
// address with its first piece.
class ScriptedClient final : public CloudClient {
  public:
    ScriptedClient(HttpTransport& unused, const Clock& clock, EventPump& events,
                   std::vector<std::string> pieces)
        : CloudClient(unused, clock, events), pieces_(std::move(pieces)) {}
    bool newestDraw(std::vector<std::string>& out) override {
        out = pieces_;
        return !out.empty();
    }
    std::string latestPeriod() override { return pieces_.empty() ? "" : pieces_.front(); }

  private:
    std::vector<std::string> pieces_;
};

class NoTransport final : public HttpTransport {
  public:
    std::string post(const std::string&, const std::string&) override { return {}; }
    std::string get(const std::string&) override { return {}; }
    std::string plainGet(const std::string&) override { return {}; }
};

void checkReading(const std::string& text) {
    const std::int64_t seconds = readDrawTime(text);
    if (seconds == kEarliestDrawTime) return;
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    require(localtime_r(&t, &local) != nullptr, "a read draw time is a representable time");
    char day[40];
    std::snprintf(day, sizeof day, "%04d%02d%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday);
    const std::string named = text.substr(0, 4) + text.substr(5, 2) + text.substr(8, 2);
    require(named == day, "a read draw time lies on the day its text names");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(fuzz::inputText(data, size));
    checkReading(text);

    NoTransport transport;
    FixedClock clock(589, 1781157600);
    NoEventPump events;
    ScriptedClient client(transport, clock, events, splitNewestDraw(text));
    DrawClock drawClock(client, clock);
    DrawPair out;
    for (int poll = 0; poll < 3; ++poll) {
        if (drawClock.refresh(out)) checkReading(drawClock.published().next.drawTime);
        drawClock.countdownText();
        clock.setUnixSeconds(clock.unixSeconds() + 3600);
    }
    return 0;
}
