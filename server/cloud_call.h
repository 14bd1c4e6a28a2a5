#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/http.h"
#include "server/json_array.h"
#include "server/json_object.h"
#include "server/json_reply.h"

namespace sscplan {

// The client side of one endpoint of the cloud-function protocol. Every call is two POSTs
// to the endpoint: a token request ("DATA=GETRAND?" + Unix seconds), then the request
// {"rand","funname","appid","param"}, percent-encoded, enciphered twice and written in hex
// ("DATA=" + payload). Nothing is cached between calls.
//
// Failures leave a reply document the caller can read "msg" and "errcode" from: the
// server's own refusal, or a synthesized one with errcode "9999" and one of
// kAccessFailed (no answer), kAccessError (answer not readable as a JSON reply) or
// kDataError (the reply's data not readable as JSON).
//
// Server texts are UTF-8, as the program's are; an answer or deciphered data that is not
// well-formed UTF-8 fails to parse and so counts as unreadable.
class CloudCall {
  public:
    // Up to five parameter texts; the list sent stops at the first empty one.
    using CallParams = std::array<std::string, 5>;

    static constexpr const char* kErrorCode = "9999";
    static constexpr const char* kAccessFailed = "服务器访问失败!";
    static constexpr const char* kAccessError = "服务器访问错误!";
    static constexpr const char* kDataError = "服务器访问错误!2";

    // Data mode of callForData and callFunction: the reply's "data" deciphered before
    // parsing (any mode but 1) or parsed as it is (1).
    static constexpr int kDecodeData = 0;
    static constexpr int kPlainData = 1;

    // Both references must outlive the call object. No endpoint, application id 0.
    CloudCall(HttpTransport& transport, const Clock& clock)
        : transport_(transport), clock_(clock) {}
    virtual ~CloudCall() = default;
    CloudCall(const CloudCall&) = delete;
    CloudCall& operator=(const CloudCall&) = delete;

    virtual void setEndpoint(const std::string& url, std::int32_t appId);
    const std::string& endpoint() const { return endpoint_; }
    std::int32_t appId() const { return appId_; }

    // callForData with the leading non-empty texts of `params`.
    virtual bool callFunction(JsonReply& reply, const std::string& funname,
                              const CallParams& params = {}, int dataMode = kDecodeData);
    // `call`, then the reply's "data" parsed into `reply` (deciphered first unless
    // dataMode is kPlainData); data that is not a JSON object is unreadable. An empty
    // "data" leaves the whole reply in `reply` (true).
    virtual bool callForData(JsonReply& reply, const std::string& funname,
                             const std::vector<std::string>& params, int dataMode = kDecodeData);
    // One exchange pair. True when the server answered with "errcode" "0" (string or
    // number). `replyText` receives the answer text and `rand` the call's random number
    // once the answer reads as a JSON object; both are untouched otherwise.
    virtual bool call(std::string& replyText, const std::string& funname,
                      const std::vector<std::string>& params, std::int32_t& rand, JsonReply& reply);

    // Cuts the rows out of a raw reply text whose "data" string holds a serialised object
    // whose own "data" holds the rows: from nine characters after the first `data\` to
    // just before the backslash ahead of the last `"}"`; then every `\\r\\n` becomes CR LF.
    // A text without both marks, or with them out of order, gives the empty text.
    static void extractTableText(std::string& text);

    // Replaces the reply by {"errcode","msg","data"}, all strings.
    static void setErrorReply(JsonReply& reply, std::string_view errcode, std::string_view msg,
                              std::string_view data);

    virtual std::string post(const std::string& url, const std::string& body);
    virtual std::string get(const std::string& url);

    // (uptime ms + Unix seconds), summed without wrapping, its last four decimal digits:
    // 0 ... 9999.
    virtual std::int32_t makeRand() const;
    // The call token, or the empty text with the reply explaining why.
    virtual std::string fetchToken(JsonReply& reply);
    // The reply direction's two layers undone: the deciphered bytes as they are, UTF-8
    // text under the right key. Callers parse them, which refuses bytes that are not.
    static std::string decodeData(std::string_view dataHex, std::int32_t rand);
    static std::string encodePayload(std::string_view escapedRequest, std::string_view token);
    static std::string responseKey(std::int32_t rand);
    // The POSIX time now, in decimal seconds.
    virtual std::string unixTime() const;
    static std::string hexToBytes(std::string_view text);
    // Base selector: 0 = 16, 1 = 10, 2 = 8, 3 = 2.
    static std::int64_t parseInteger(std::string_view text, int baseSelector = 1);
    static std::string bytesToHex(std::string_view bytes);

  private:
    HttpTransport& transport_;
    const Clock& clock_;
    std::string endpoint_;
    JsonObject request_;
    JsonArray params_;
    std::int32_t appId_ = 0;
};

}  // namespace sscplan
