#include "appserver/cloud_service.h"

#include <nlohmann/json.hpp>

#include <optional>

#include "appserver/schedule.h"
#include "server/protocol.h"

namespace sscplan::appserver {

struct CloudService::Call {
    std::int64_t rand = 0;
    std::string funname;
    std::int32_t appId = 0;
    std::vector<std::string> params;
};

namespace {

// Members keep the order they are set in: the client cuts the table rows out of the raw
// reply text and relies on "data" being the last member at both levels.
using Json = nlohmann::ordered_json;

constexpr std::string_view kTokenRequest = "GETRAND?";

std::string replyText(const ErrorKind& kind, const std::string& data) {
    Json reply;
    reply["errcode"] = kind.code;
    reply["msg"] = kind.msg;
    reply["data"] = data;
    return reply.dump();
}

ServiceReply refuse(const ErrorKind& kind, std::string function) {
    return {replyText(kind, ""), std::move(function), kind.code};
}

ServiceReply succeed(const std::string& data, std::string function) {
    return {replyText(kOk, data), std::move(function), kOk.code};
}

// A decimal text of 1 to `maxDigits` digits.
std::optional<std::int64_t> decimal(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<std::string> stringMember(const Json& doc, const char* key) {
    const auto it = doc.find(key);
    if (it == doc.end() || !it->is_string()) return std::nullopt;
    return it->get<std::string>();
}

// A name fit for the log: the function names are lower-case words, anything else a client
// sends is not repeated.
std::string loggedName(const std::string& funname) {
    if (funname.empty() || funname.size() > 32) return "-";
    for (char c : funname) {
        const bool word =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!word) return "-";
    }
    return funname;
}

}  // namespace

ServiceReply CloudService::bodyTooLarge() { return refuse(kBodyTooLarge, "-"); }

ServiceReply CloudService::handle(std::string_view body, const std::string& baseUrl) const {
    try {
        if (body.size() > kMaxBodyBytes) return bodyTooLarge();
        if (!body.starts_with("DATA=")) return refuse(kMalformedBody, "-");
        std::string value;
        const std::size_t end = body.find('&');  // other form fields are ignored
        if (!protocol::percentDecode(body.substr(5, end == body.npos ? end : end - 5), value)) {
            return refuse(kMalformedBody, "-");
        }
        const std::int64_t now = clock_.unixSeconds();
        if (value.starts_with(kTokenRequest)) {
            if (!decimal(std::string_view(value).substr(kTokenRequest.size()), 20)) {
                return refuse(kMalformedBody, "GETRAND");
            }
            return succeed(protocol::encodeToken(callTokens_.issue(now)), "GETRAND");
        }
        if (value.empty() || value.size() % 2 != 0 || !protocol::isHexText(value)) {
            return refuse(kMalformedBody, "-");
        }
        std::optional<Call> call;
        bool deciphered = false;
        callTokens_.decipher(value, now, [&](const std::string& escaped) {
            deciphered = true;
            std::string text;
            if (!protocol::percentDecode(escaped, text)) return false;
            const Json doc = Json::parse(text, nullptr, false);
            if (doc.is_discarded() || !doc.is_object()) return false;
            const auto rand = stringMember(doc, "rand");
            const auto funname = stringMember(doc, "funname");
            const auto appId = stringMember(doc, "appid");
            const auto params = doc.find("param");
            if (!rand || !funname || !appId || params == doc.end() || !params->is_array()) {
                return false;
            }
            Call parsed;
            const auto randValue = decimal(*rand, 9);
            const auto appValue = decimal(*appId, 9);
            if (!randValue || !appValue) return false;
            parsed.rand = *randValue;
            parsed.appId = static_cast<std::int32_t>(*appValue);
            parsed.funname = *funname;
            for (const Json& param : *params) {
                if (!param.is_string()) return false;
                parsed.params.push_back(param.get<std::string>());
            }
            call = std::move(parsed);
            return true;
        });
        if (!call) return refuse(deciphered ? kUnreadableRequest : kBadCallToken, "-");
        return handleCall(*call, baseUrl);
    } catch (const std::exception&) {
        return refuse(kInternal, "-");
    }
}

ServiceReply CloudService::handleCall(const Call& call, const std::string& baseUrl) const {
    const std::string name = loggedName(call.funname);
    if (!config_.appIds.contains(call.appId)) return refuse(kUnknownApp, name);
    const std::int64_t now = clock_.unixSeconds();

    if (call.funname == "init") {
        Json settings;
        settings["userurl"] = baseUrl + kHistoryPath;
        settings["drawurl"] = baseUrl + kDrawPath;
        settings["newphase"] = baseUrl + kLatestPeriodPath;
        settings["advert1"] = baseUrl + kPanelPath;
        settings["advert2"] = baseUrl + kHistoryPath;
        settings["version"] = config_.offeredVersion;
        settings["proupurl"] = config_.updateFileName.empty()
                                   ? std::string()
                                   : baseUrl + kUpdatePrefix + config_.updateFileName;
        settings["seo"] = baseUrl + "/";
        settings["token"] = sessions_.issue(call.appId, now);
        return succeed(protocol::encodeReplyData(settings.dump(), call.rand), name);
    }

    const bool known = call.funname == "select_draw" || call.funname == "select_draw_date" ||
                       call.funname == "newestdraw" || call.funname == "getInit";
    if (!known) return refuse(kUnknownFunction, name);
    if (call.params.empty() || !sessions_.verify(call.params[0], call.appId)) {
        return refuse(kBadSession, name);
    }

    if (call.funname == "select_draw" || call.funname == "select_draw_date") {
        std::string rows;
        std::size_t count = 0;
        if (call.params.size() < 2) return refuse(kBadParameter, name);
        if (call.funname == "select_draw") {
            const auto wanted = decimal(call.params[1], 4);
            if (!wanted || *wanted < 1 || *wanted > kMaxSelectCount) {
                return refuse(kBadParameter, name);
            }
            const auto snapshot = board_.current();
            count =
                std::min<std::size_t>(static_cast<std::size_t>(*wanted), snapshot->recent.size());
            rows = snapshot->tableRows(count);
        } else {
            const auto day = parseDayText(call.params[1]);
            if (!day) return refuse(kBadParameter, name);
            const DrawHistory draws = store_.ofDate(dateText(*day));
            for (const DrawRecord& draw : draws) {
                if (!rows.empty()) rows += "\r\n";
                rows += tableRow(draw);
            }
            count = draws.size();
        }
        // A serialised object in the reply's "data" string, its own "data" the last
        // member: the client's cut then lifts exactly the rows.
        Json table;
        table["count"] = std::to_string(count);
        table["data"] = rows;
        return succeed(table.dump(), name);
    }

    Json data;
    if (call.funname == "newestdraw") {
        const auto snapshot = board_.current();
        if (snapshot->newestText.empty()) return refuse(kNoDraws, name);
        data["data"] = snapshot->newestText;
    } else {
        data["data"] = config_.notice;
    }
    return succeed(protocol::encodeReplyData(data.dump(), call.rand), name);
}

}  // namespace sscplan::appserver
