#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace sscplan::testing {

// An application server for tests, on a free loopback port. It answers the token
// exchange, the cloud functions "init", "select_draw", "select_draw_date", "newestdraw" and
// "getInit" on any POST path, and the latest-period text on GET /newphase. Its "init"
// data point the draw endpoint and the latest-period address back at itself. Faults can
// be switched on per stage; every request is recorded.
class FakeAppServer {
  public:
    // Which exchange a fault applies to.
    enum class Stage { Token, Call, LatestPeriod };
    enum class Fault {
        None,
        NoAnswer,         // the connection is held silently (until the server stops)
        ClosedMidAnswer,  // headers announce a body that never comes
        EmptyBody,
        NotJson,        // an HTML page
        TruncatedJson,  // the first half of the reply that would have been sent
        HugeBody,       // kHugeBodyBytes of text that is no JSON
        Refuse,         // errcode and msg of setRefusal, empty data
        // Call stage, functions with enciphered data only (not the draw tables):
        WrongDataKey,  // enciphered under another call's response key
        NonHexData,    // "data" is no hexadecimal text
        NonUtf8Data,   // deciphers to bytes that are not UTF-8
    };

    struct SeenCall {
        std::string path;
        std::string funname;
        std::string appid;
        std::string rand;
        std::vector<std::string> params;
    };

    static constexpr std::size_t kHugeBodyBytes = 1u << 20;
    static constexpr const char* kInitPath = "/appinit.php";
    static constexpr const char* kDrawPath = "/draw.php";
    static constexpr const char* kLatestPeriodPath = "/newphase";
    static constexpr const char* kSessionToken = "sess-5f3a9c";
    // The answer to a call whose token was never issued or was used before.
    static constexpr const char* kBadTokenCode = "1003";
    static constexpr const char* kBadTokenMsg = "令牌无效";
    // The answer to a draw query without the session token "init" handed out.
    static constexpr const char* kBadSessionCode = "2";
    static constexpr const char* kBadSessionMsg = "会话无效";

    // Starts listening; throws std::runtime_error when no loopback port can be bound.
    FakeAppServer();
    ~FakeAppServer();
    FakeAppServer(const FakeAppServer&) = delete;
    FakeAppServer& operator=(const FakeAppServer&) = delete;

    int port() const { return port_; }
    std::string url(const std::string& path) const;
    std::string initUrl() const { return url(kInitPath); }

    void setFault(Stage stage, Fault fault);
    void setRefusal(const std::string& errcode, const std::string& msg);

    // The "init" data object (deep copy) and its replacement. By default all eight
    // settings are strings and "token" is kSessionToken; a non-empty "token" is required
    // as the first parameter of every draw query.
    nlohmann::ordered_json initData() const;
    void setInitData(nlohmann::ordered_json data);
    // Draw rows, newest first, cells joined by "|+|". By default 60 rows of one day.
    std::vector<std::string> drawRows() const;
    void setDrawRows(std::vector<std::string> rows);
    // When set, "select_draw" and "select_draw_date" send this table text as it is
    // (line breaks "\r\n") instead of rows taken from drawRows.
    void setTableText(std::optional<std::string> text);
    // The newest-draw "data" text; by default the eight texts of the newest row and the
    // following period joined by "| |".
    std::string newestDrawText() const;
    void setNewestDrawText(std::string text);
    void setGetInitText(std::string text);
    void setLatestPeriodText(std::string text);

    int tokenRequests() const;
    int latestPeriodRequests() const;
    std::vector<SeenCall> calls() const;

  private:
    void handlePost(const httplib::Request& request, httplib::Response& response);
    void handleLatestPeriod(httplib::Response& response);
    std::string answerToken();
    std::string answerCall(const std::string& path, const std::string& payload, Fault fault);
    std::string answerFunction(const SeenCall& call, std::int64_t rand, Fault fault);
    std::string encipheredReply(const std::string& plain, std::int64_t rand, Fault fault) const;
    void send(httplib::Response& response, const std::string& body, Fault fault);
    std::string newestDrawTextLocked() const;

    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;

    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    Fault tokenFault_ = Fault::None;
    Fault callFault_ = Fault::None;
    Fault latestPeriodFault_ = Fault::None;
    std::string refusalCode_ = "1001";
    std::string refusalMsg_ = "拒绝访问";
    nlohmann::ordered_json initData_;
    std::vector<std::string> drawRows_;
    std::optional<std::string> tableText_;
    std::optional<std::string> newestDrawText_;
    std::string getInitText_ = "公告：欢迎使用";
    std::string latestPeriodText_;
    std::vector<std::string> issuedTokens_;
    std::uint64_t tokenCounter_ = 0;
    int tokenRequests_ = 0;
    int latestPeriodRequests_ = 0;
    std::vector<SeenCall> calls_;
};

}  // namespace sscplan::testing
