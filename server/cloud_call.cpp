#include "server/cloud_call.h"

#include <cstdlib>

#include "common/text.h"
#include "server/protocol.h"

namespace sscplan {
namespace {

// A server answer or its data is usable only as a JSON object. The parser accepts only
// well-formed UTF-8, so bytes that are not UTF-8 text are refused here as well.
bool parseReply(JsonReply& reply, std::string_view text) {
    return reply.parse(text) && reply.valueKind() == JsonKind::Object;
}

bool errcodeIsZero(const JsonReply& reply) { return reply.get("errcode") == "0"; }

}  // namespace

void CloudCall::setEndpoint(const std::string& url, std::int32_t appId) {
    endpoint_ = url;
    appId_ = appId;
}

bool CloudCall::callFunction(JsonReply& reply, const std::string& funname, const CallParams& params,
                             int dataMode) {
    std::vector<std::string> sent;
    for (const std::string& param : params) {
        if (param.empty()) break;
        sent.push_back(param);
    }
    return callForData(reply, funname, sent, dataMode);
}

bool CloudCall::callForData(JsonReply& reply, const std::string& funname,
                            const std::vector<std::string>& params, int dataMode) {
    std::string replyText;
    std::int32_t rand = 0;
    if (!call(replyText, funname, params, rand, reply)) return false;
    const std::string data = reply.get("data");
    if (data.empty()) return true;
    const std::string plain = dataMode == kPlainData ? data : decodeData(data, rand);
    if (!parseReply(reply, plain)) {
        setErrorReply(reply, kErrorCode, kDataError, "");
        return false;
    }
    return true;
}

bool CloudCall::call(std::string& replyText, const std::string& funname,
                     const std::vector<std::string>& params, std::int32_t& rand, JsonReply& reply) {
    const std::int32_t r = makeRand();
    const std::string token = fetchToken(reply);
    if (token.empty()) return false;

    request_.create();
    request_.set("rand", std::to_string(r));
    request_.set("funname", funname);
    request_.set("appid", std::to_string(appId_));
    params_.create();
    for (const std::string& param : params) params_.add(param);
    request_.setChild("param", params_);

    reply.create();
    const std::string payload = encodePayload(protocol::percentEncode(request_.toText()), token);
    const std::string answer = post(endpoint_, "DATA=" + payload);
    if (answer.empty()) {
        setErrorReply(reply, kErrorCode, kAccessFailed, "");
        return false;
    }
    if (!parseReply(reply, answer)) {
        setErrorReply(reply, kErrorCode, kAccessError, "");
        return false;
    }
    replyText = answer;
    rand = r;
    return errcodeIsZero(reply);
}

void CloudCall::extractTableText(std::string& text) {
    constexpr std::string_view kStartMark = "data\\";
    constexpr std::string_view kEndMark = "\"}\"";
    // The rows start nine characters into `data\":\"` and end before the backslash that
    // precedes the closing `"}"`.
    constexpr std::size_t kRowsOffset = 9;
    const std::size_t start = text.find(kStartMark);
    const std::size_t end = text.rfind(kEndMark);
    if (start == std::string::npos || end == std::string::npos || end < start + kRowsOffset + 1) {
        text.clear();
        return;
    }
    text = replaceAll(text.substr(start + kRowsOffset, end - start - kRowsOffset - 1), "\\\\r\\\\n",
                      "\r\n");
}

void CloudCall::setErrorReply(JsonReply& reply, std::string_view errcode, std::string_view msg,
                              std::string_view data) {
    reply.create();
    reply.set("errcode", errcode);
    reply.set("msg", msg);
    reply.set("data", data);
}

std::string CloudCall::post(const std::string& url, const std::string& body) {
    return transport_.post(url, body);
}

std::string CloudCall::get(const std::string& url) { return transport_.get(url); }

std::int32_t CloudCall::makeRand() const {
    // 64 bits hold the sum of a 32-bit uptime and the seconds without wrapping; its last
    // four decimal digits are the number (a clock before 1970 counts by magnitude).
    const std::int64_t sum = std::int64_t{clock_.uptimeMs()} + clock_.unixSeconds();
    return static_cast<std::int32_t>(std::llabs(sum % 10000));
}

std::string CloudCall::fetchToken(JsonReply& reply) {
    const std::string answer = post(endpoint_, "DATA=GETRAND?" + unixTime());
    if (answer.empty()) {
        setErrorReply(reply, kErrorCode, kAccessFailed, "");
        return {};
    }
    if (!parseReply(reply, answer)) {
        setErrorReply(reply, kErrorCode, kAccessError, "");
        return {};
    }
    if (!errcodeIsZero(reply)) return {};
    return protocol::decodeToken(reply.get("data"));
}

std::string CloudCall::decodeData(std::string_view dataHex, std::int32_t rand) {
    return protocol::decodeReplyData(dataHex, rand);
}

std::string CloudCall::encodePayload(std::string_view escapedRequest, std::string_view token) {
    return protocol::encodePayload(escapedRequest, token);
}

std::string CloudCall::responseKey(std::int32_t rand) { return protocol::responseKey(rand); }

std::string CloudCall::unixTime() const { return std::to_string(clock_.unixSeconds()); }

std::string CloudCall::hexToBytes(std::string_view text) { return protocol::hexToBytes(text); }

std::int64_t CloudCall::parseInteger(std::string_view text, int baseSelector) {
    return protocol::parseInteger(text, baseSelector);
}

std::string CloudCall::bytesToHex(std::string_view bytes) { return protocol::bytesToHex(bytes); }

}  // namespace sscplan
