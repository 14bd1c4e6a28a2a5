// Request bodies from outside, as the server's cloud service receives them.
//
// Input: one byte choosing the form, then the rest. As a raw body the rest goes in as it
// stands (form field, percent escapes, hex, the token layer). As a request the rest is
// the deciphered request text: it is enciphered under a freshly issued call token, with
// every "@session" replaced by a valid session token, so that each function's own
// parameter reading is reached.
#include <nlohmann/json.hpp>

#include "appserver/cloud_service.h"
#include "appserver/schedule.h"
#include "fuzz/fuzz_support.h"
#include "server/protocol.h"

namespace {

using namespace sscplan;
using namespace sscplan::appserver;
using fuzz::require;

constexpr std::int64_t kNow = 1781157600;
const std::string kBase = "http://127.0.0.1:19300";

// One service over a store of three draws for the whole run: requests never write.
struct Service {
    Service() {
        std::string error;
        store = DrawStore::open(fuzz::scratchFolder() + "/draws.sqlite", true, error);
        require(store != nullptr, "the scratch store opens");
        const DrawHistory draws = {
            {"20190307", "023", "2019-03-07 01:55:00", "90817", 123456},
            {"20190307", "022", "2019-03-07 01:50:00", "00001", 7},
            {"20190306", "120", "2019-03-07 00:00:00", "55555", 2147483647},
        };
        require(store->insert(draws, error), "the scratch store takes its draws");
        board.publish(store->latest(DrawBoard::kSnapshotDraws),
                      scheduledRecord(Slot{*parseDateText("20190307"), 24}));
        callTokens = std::make_unique<CallTokens>(store->secret());
        sessions = std::make_unique<SessionTokens>(store->secret());
        ServiceConfig config;
        config.updateFileName = "sscplan-1.50.bin";
        config.notice = "公告";
        service = std::make_unique<CloudService>(config, board, *store, *callTokens, *sessions,
                                                 clock);
    }

    FixedClock clock{0, kNow};
    std::unique_ptr<DrawStore> store;
    DrawBoard board;
    std::unique_ptr<CallTokens> callTokens;
    std::unique_ptr<SessionTokens> sessions;
    std::unique_ptr<CloudService> service;
};

Service& service() {
    static Service instance;
    return instance;
}

std::string replaceAll(std::string text, std::string_view from, const std::string& to) {
    for (std::size_t at = text.find(from); at != text.npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

void requireWellFormedReply(const ServiceReply& reply) {
    const auto body = nlohmann::json::parse(reply.body, nullptr, false);
    require(body.is_object(), "every reply is a JSON object");
    for (const char* key : {"errcode", "msg", "data"}) {
        require(body.contains(key) && body[key].is_string(), "every reply has its three texts");
    }
    require(body["errcode"] == reply.errcode, "the logged code is the code sent");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    Service& s = service();
    const std::string rest(fuzz::inputText(data + 1, size - 1));
    std::string body;
    if (data[0] % 2 == 0) {
        body = rest;
    } else {
        const std::string request = replaceAll(rest, "@session", s.sessions->issue(1017, kNow));
        body = "DATA=" + protocol::encodePayload(protocol::percentEncode(request),
                                                 s.callTokens->issue(kNow));
    }
    requireWellFormedReply(s.service->handle(body, kBase));
    return 0;
}
