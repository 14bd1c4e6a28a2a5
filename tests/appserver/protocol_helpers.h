#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "server/protocol.h"

// The client's half of the protocol, spelt out for tests that need to send what the
// desktop program never would.

namespace sscplan::appserver::testing {

// The form body of a call: "DATA=" + the request enciphered under `callToken`.
inline std::string callBody(const std::string& funname, const std::vector<std::string>& params,
                            const std::string& callToken, const std::string& appId = "1017",
                            std::int64_t rand = 589) {
    nlohmann::ordered_json request;
    request["rand"] = std::to_string(rand);
    request["funname"] = funname;
    request["appid"] = appId;
    request["param"] = params;
    return "DATA=" + protocol::encodePayload(protocol::percentEncode(request.dump()), callToken);
}

// The body of a call whose deciphered request is `escapedRequest` as it stands.
inline std::string rawCallBody(const std::string& escapedRequest, const std::string& callToken) {
    return "DATA=" + protocol::encodePayload(escapedRequest, callToken);
}

// A reply body as JSON; discarded when it is none.
inline nlohmann::json replyJson(const std::string& body) {
    return nlohmann::json::parse(body, nullptr, false);
}

// The deciphered "data" of an enciphered reply, parsed.
inline nlohmann::json decodedData(const nlohmann::json& reply, std::int64_t rand = 589) {
    return nlohmann::json::parse(
        protocol::decodeReplyData(reply.value("data", std::string()), rand), nullptr, false);
}

}  // namespace sscplan::appserver::testing
