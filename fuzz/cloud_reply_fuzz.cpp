// Server answers from outside, reaching the client through every layer it undoes: the
// token exchange, the JSON reply, hex and both cipher layers of the data, the draw-table
// cut and its rows, the newest-draw split and the latest-period text.
//
// Input: one byte choosing how the rest is delivered (see Delivery), then the rest.
#include <nlohmann/json.hpp>

#include "fuzz/fuzz_support.h"
#include "platform/clock.h"
#include "platform/ports.h"
#include "server/cloud_call.h"
#include "server/cloud_client.h"
#include "server/draw_table.h"
#include "server/protocol.h"

namespace {

using namespace sscplan;
using fuzz::require;

enum class Delivery {
    kAnswer,         // the rest is the whole answer to every call
    kEncipheredData, // the rest is the deciphered data of a well-formed reply
    kTableText,      // the rest is the table text of a well-formed draw-table reply
    kTokenAnswer,    // the rest is the answer to the token exchange
    kCount,
};

constexpr const char* kToken = "5a17c0de42b9e311";

std::string okReply(const std::string& data) {
    nlohmann::ordered_json reply;
    reply["errcode"] = "0";
    reply["msg"] = "";
    reply["data"] = data;
    return reply.dump();
}

// The random number the client put into its request, read back as a server would.
std::int64_t requestRand(std::string_view body) {
    std::string escaped, text;
    require(body.starts_with("DATA="), "a call is a DATA form field");
    require(protocol::decodePayload(body.substr(5), kToken, escaped),
            "the request deciphers under the token handed out");
    require(protocol::percentDecode(escaped, text), "the request is percent-encoded");
    const auto request = nlohmann::json::parse(text, nullptr, false);
    require(request.is_object() && request.contains("rand") && request["rand"].is_string(),
            "the request carries its random number");
    return std::stoll(request["rand"].get<std::string>());
}

class ScriptedServer final : public HttpTransport {
  public:
    ScriptedServer(Delivery delivery, std::string rest)
        : delivery_(delivery), rest_(std::move(rest)) {}

    std::string post(const std::string&, const std::string& body) override {
        if (body.starts_with("DATA=GETRAND?")) {
            return delivery_ == Delivery::kTokenAnswer ? rest_
                                                       : okReply(protocol::encodeToken(kToken));
        }
        switch (delivery_) {
            case Delivery::kEncipheredData:
                return okReply(protocol::encodeReplyData(rest_, requestRand(body)));
            case Delivery::kTableText: {
                nlohmann::ordered_json table;
                table["count"] = "1";
                table["data"] = rest_;
                // Bytes that are no UTF-8 reach the client through kAnswer; here the
                // reply stays well-formed so that the table path is what is tried.
                return okReply(table.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
            }
            case Delivery::kTokenAnswer:
                return okReply("");
            default:
                return rest_;
        }
    }
    std::string get(const std::string&) override { return rest_; }
    std::string plainGet(const std::string&) override { return rest_; }

  private:
    Delivery delivery_;
    std::string rest_;
};

void checkTable(const DrawTable& table) {
    const std::size_t columns = columnCount(table);
    for (const auto& row : table) require(row.size() == columns, "every row has every column");
}

void readDirectly(std::string_view rest) {
    std::string cut(rest);
    CloudCall::extractTableText(cut);
    DrawTable table;
    if (buildDrawTable(cut, table)) checkTable(table);
    if (buildDrawTable(rest, table)) checkTable(table);
    splitNewestDraw(rest);
    CloudCall::decodeData(rest, 589);
    for (int base = 0; base < 4; ++base) CloudCall::parseInteger(rest, base);
}

void runClient(Delivery delivery, std::string_view rest) {
    ScriptedServer server(delivery, std::string(rest));
    FixedClock clock(589, 1781157600);
    NoEventPump events;
    CloudClient client(server, clock, events);
    client.init("http://127.0.0.1:1/appinit", 1017);
    InitSettings settings;
    client.copySettings(settings);

    std::vector<std::string> pieces;
    client.newestDraw(pieces);
    DrawTable table;
    if (client.selectDraw(50, table)) {
        require(table.empty() || columnCount(table) >= CloudClient::kDrawFields,
                "an accepted table has every field of a draw");
        checkTable(table);
    }
    client.selectDrawDate("2019-03-07 00:00:00", table);
    std::string notice;
    client.getInit(notice);
    client.latestPeriod();

    CloudCall plain(server, clock);
    JsonReply reply;
    plain.callFunction(reply, "newestdraw", {"token"}, CloudCall::kPlainData);
    reply.msg();
    reply.errcode();
    reply.succeeded();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto delivery = static_cast<Delivery>(data[0] % static_cast<int>(Delivery::kCount));
    const std::string_view rest = fuzz::inputText(data + 1, size - 1);
    readDirectly(rest);
    runClient(delivery, rest);
    return 0;
}
