#include "server/cloud_call.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "server/protocol.h"

namespace sscplan {
namespace {

// Expected values below were computed outside this program, by a twenty-line RC4 and
// envelope written in Python (RC4 checked against the "Key"/"Plaintext" vector,
// urllib.parse.quote(text, safe='') for the escaping, upper-case hex), for the fixed key,
// the factor 7919, rand 589 (response key "4664291") and the call token below.
constexpr const char* kToken = "tk-5Z9q";
constexpr const char* kTokenData = "FF5F80315CEBC3";
constexpr const char* kEscapedInitRequest =
    "%7B%22rand%22%3A%22589%22%2C%22funname%22%3A%22init%22%2C%22appid%22%3A%221001%22%2C"
    "%22param%22%3A%5B%5D%7D";
constexpr const char* kInitPayload =
    "51BC4801A1A979E172BA251AC9684FA069274B62A707D84927A21CC931CA88740792F99A9AF69D28DD8AD24F"
    "13082F0BA91891A032C361468B4454614236F9C121C5207862EF4DC8803E9A8DF11072BEC87372508CF49CBF"
    "E4B4286D5E19033459E8EC4E81D3205B1F3A6B0B88DE1FDC36663DBA7A8D6D9272CC542F7E59AC22DA5815AD"
    "05B091AEA13D1BBF69FBB8EC4883B084416F0FE50219A7DF28CA6EE3A95F497F823DDCC6F9EC593020003E7E"
    "C450325F38FA91A9116083CE238214112C506C644101FC7EC63DDBC9A849DB44E730C0F03BF1";
constexpr const char* kInitData = R"({"drawurl":"http://127.0.0.1/d","version":"1.5","seo":"注"})";
constexpr const char* kInitReplyData =
    "CF00E8323296F0728ADAF7E3AEBDBA110EA5FFFE46EDEE07CD2B2FD155E4293016EB483346986533494C30D4"
    "47B710065F6C5182C9AE1E9516016BD8A978892B5B9AE9415B89F6510A49036BF80EB99E8279E9520385D98D"
    "CA46B96EBC389FA2D903EF9801E0DA2DA177B30F4B67DA32941F475EA55B9369";

// Uptime 589 ms plus these seconds end in 0589.
constexpr std::int64_t kUnixSeconds = 1700000000;
constexpr const char* kEndpoint = "http://127.0.0.1:1/appinit.php";

// Answers posts from a script, in order; an exhausted script answers nothing.
class ScriptedTransport final : public HttpTransport {
  public:
    explicit ScriptedTransport(std::vector<std::string> answers)
        : answers_(answers.begin(), answers.end()) {}
    std::string post(const std::string& url, const std::string& body) override {
        posts.emplace_back(url, body);
        if (answers_.empty()) return {};
        std::string answer = std::move(answers_.front());
        answers_.pop_front();
        return answer;
    }
    std::string get(const std::string& url) override { return "GET " + url; }
    std::string plainGet(const std::string& url) override { return "PLAIN " + url; }

    std::vector<std::pair<std::string, std::string>> posts;

  private:
    std::deque<std::string> answers_;
};

std::string tokenReply() {
    return std::string(R"({"errcode":"0","msg":"","data":")") + kTokenData + "\"}";
}

std::string dataReply(const std::string& data) {
    return R"({"errcode":"0","msg":"ok","data":)" + JsonValue(data).dump() + "}";
}

// The request JSON a call body carries, deciphered with the codec's own reverse direction.
JsonValue sentRequest(const std::string& body) {
    const std::string prefix = "DATA=";
    EXPECT_EQ(body.substr(0, prefix.size()), prefix);
    std::string escaped;
    std::string request;
    EXPECT_TRUE(protocol::decodePayload(body.substr(prefix.size()), kToken, escaped));
    EXPECT_TRUE(protocol::percentDecode(escaped, request));
    return JsonValue::parse(request, nullptr, false);
}

class CloudCallTest : public ::testing::Test {
  protected:
    void script(std::vector<std::string> answers) { transport = ScriptedTransport(answers); }

    ScriptedTransport transport{{}};
    FixedClock clock{589, kUnixSeconds};
    CloudCall cloud{transport, clock};
    JsonReply reply;

    void SetUp() override { cloud.setEndpoint(kEndpoint, 1001); }
};

TEST(CloudCallCodec, EnvelopeMatchesAnIndependentImplementation) {
    EXPECT_EQ(CloudCall::encodePayload(kEscapedInitRequest, kToken), kInitPayload);
    EXPECT_EQ(CloudCall::decodeData(kInitReplyData, 589), kInitData);
    EXPECT_EQ(CloudCall::responseKey(589), "4664291");
    EXPECT_EQ(CloudCall::bytesToHex(std::string("\x0a\xff", 2)), "0AFF");
    EXPECT_EQ(CloudCall::hexToBytes("0aff"), CloudCall::hexToBytes("0AFF"));
}

TEST_F(CloudCallTest, InitCallSendsTheExactEnvelopeAndReadsItsData) {
    script({tokenReply(), dataReply(kInitReplyData)});
    ASSERT_TRUE(cloud.callFunction(reply, "init"));
    ASSERT_EQ(transport.posts.size(), 2u);
    EXPECT_EQ(transport.posts[0].first, kEndpoint);
    EXPECT_EQ(transport.posts[0].second, "DATA=GETRAND?1700000000");
    EXPECT_EQ(transport.posts[1].first, kEndpoint);
    EXPECT_EQ(transport.posts[1].second, std::string("DATA=") + kInitPayload);
    EXPECT_EQ(reply.get("drawurl"), "http://127.0.0.1/d");
    EXPECT_EQ(reply.get("seo"), "注");
    EXPECT_EQ(reply.get("errcode"), "");
}

TEST_F(CloudCallTest, RequestMembersAndParameterLists) {
    struct Row {
        CloudCall::CallParams params;
        std::vector<std::string> sent;
    };
    const Row rows[] = {
        {{}, {}},
        {{"a", "", "c"}, {"a"}},
        {{"tok", "50", "注 %&=", "d", "e"}, {"tok", "50", "注 %&=", "d", "e"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.sent.size());
        script({tokenReply(), R"({"errcode":"0","msg":"","data":""})"});
        ASSERT_TRUE(cloud.callFunction(reply, "select_draw", row.params));
        ASSERT_EQ(transport.posts.size(), 2u);
        const JsonValue request = sentRequest(transport.posts[1].second);
        ASSERT_TRUE(request.is_object());
        std::vector<std::string> keys;
        for (const auto& member : request.items()) keys.push_back(member.key());
        EXPECT_EQ(keys, (std::vector<std::string>{"rand", "funname", "appid", "param"}));
        EXPECT_EQ(request["rand"], "589");
        EXPECT_EQ(request["funname"], "select_draw");
        EXPECT_EQ(request["appid"], "1001");
        EXPECT_EQ(request["param"], JsonValue(row.sent));
    }
}

TEST_F(CloudCallTest, EmptyDataKeepsTheWholeReplyInEveryMode) {
    for (int mode : {CloudCall::kDecodeData, CloudCall::kPlainData}) {
        SCOPED_TRACE(mode);
        script({tokenReply(), R"({"errcode":0,"msg":"空","data":""})"});
        ASSERT_TRUE(cloud.callForData(reply, "init", {}, mode));
        EXPECT_EQ(reply.errcode(), "0");
        EXPECT_EQ(reply.msg(), "空");
    }
}

TEST_F(CloudCallTest, CallGivesTheAnswerTextAndTheRandomNumber) {
    const std::string answer = R"({"errcode":"0","msg":"","data":"x"})";
    script({tokenReply(), answer});
    std::string text;
    std::int32_t rand = -1;
    ASSERT_TRUE(cloud.call(text, "select_draw", {"t", "50"}, rand, reply));
    EXPECT_EQ(text, answer);
    EXPECT_EQ(rand, 589);
    EXPECT_EQ(reply.get("data"), "x");
}

TEST_F(CloudCallTest, PlainDataIsParsedAsItIs) {
    script({tokenReply(), dataReply(R"({"data":"a| |b"})")});
    ASSERT_TRUE(cloud.callForData(reply, "f", {}, CloudCall::kPlainData));
    EXPECT_EQ(reply.get("data"), "a| |b");
}

TEST(CloudCallRand, LastFourDigitsOfTheUnwrappedSum) {
    struct Row {
        std::uint32_t uptime;
        std::int64_t seconds;
        std::int32_t rand;
    };
    const Row rows[] = {{589, 1700000000, 589},
                        {0, 0, 0},
                        {7, 0, 7},
                        {4294967295u, 1700000000, 7295},
                        {9999, 1700000000, 9999}};
    ScriptedTransport transport({});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rand);
        FixedClock clock(row.uptime, row.seconds);
        CloudCall cloud(transport, clock);
        EXPECT_EQ(cloud.makeRand(), row.rand);
        EXPECT_EQ(cloud.unixTime(), std::to_string(row.seconds));
    }
}

TEST_F(CloudCallTest, FailuresLeaveTheReplyTheCallerReports) {
    const std::string notUtf8Data = protocol::encodeReplyData("{\"a\":\"\xff\xfe\"}", 589);
    const std::string hugeText(8 * 1024 * 1024, 'x');
    struct Row {
        const char* name;
        std::vector<std::string> answers;
        int mode;
        const char* errcode;
        const char* msg;
        std::size_t posts;
    };
    const std::vector<Row> rows = {
        {"token: no answer", {""}, 0, "9999", "服务器访问失败!", 1},
        {"token: not JSON", {"<html>404</html>"}, 0, "9999", "服务器访问错误!", 1},
        {"token: JSON but no object", {"[\"0\"]"}, 0, "9999", "服务器访问错误!", 1},
        {"token: refused", {R"({"errcode":"7","msg":"拒绝"})"}, 0, "7", "拒绝", 1},
        {"token: deciphers empty", {R"({"errcode":"0","msg":"","data":""})"}, 0, "0", "", 1},
        {"token: deeply nested", {std::string(200000, '[')}, 0, "9999", "服务器访问错误!", 1},
        {"call: no answer", {tokenReply(), ""}, 0, "9999", "服务器访问失败!", 2},
        {"call: truncated",
         {tokenReply(), R"({"errcode":"0","ms)"},
         0,
         "9999",
         "服务器访问错误!",
         2},
        {"call: not UTF-8",
         {tokenReply(), "{\"errcode\":\"0\",\"msg\":\"\xff\"}"},
         0,
         "9999",
         "服务器访问错误!",
         2},
        {"call: refused", {tokenReply(), R"({"errcode":"3","msg":"无权"})"}, 0, "3", "无权", 2},
        {"call: errcode missing", {tokenReply(), R"({"msg":"m"})"}, 0, "", "m", 2},
        {"call: huge body",
         {tokenReply(), "{\"errcode\":\"0\",\"data\":\"" + hugeText},
         0,
         "9999",
         "服务器访问错误!",
         2},
        {"data: wrong cipher", {tokenReply(), dataReply("ABCD")}, 0, "9999", "服务器访问错误!2", 2},
        {"data: odd-length hex",
         {tokenReply(), dataReply("ABC")},
         0,
         "9999",
         "服务器访问错误!2",
         2},
        {"data: not hex", {tokenReply(), dataReply("zz!!注")}, 0, "9999", "服务器访问错误!2", 2},
        {"data: deciphers to bytes that are not UTF-8",
         {tokenReply(), dataReply(notUtf8Data)},
         0,
         "9999",
         "服务器访问错误!2",
         2},
        {"data: deeply nested",
         {tokenReply(), dataReply(std::string(100000, '[') + std::string(100000, ']'))},
         1,
         "9999",
         "服务器访问错误!2",
         2},
        {"data: JSON but no object",
         {tokenReply(), dataReply("[1,2]")},
         1,
         "9999",
         "服务器访问错误!2",
         2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        script(row.answers);
        ASSERT_TRUE(reply.parse(R"({"stale":"1"})"));
        EXPECT_FALSE(cloud.callForData(reply, "init", {}, row.mode));
        EXPECT_EQ(transport.posts.size(), row.posts);
        EXPECT_EQ(reply.errcode(), row.errcode);
        EXPECT_EQ(reply.msg(), row.msg);
        EXPECT_EQ(reply.get("stale"), "");
    }
}

TEST_F(CloudCallTest, SynthesizedRepliesHoldThreeStrings) {
    CloudCall::setErrorReply(reply, "9999", "服务器访问失败!", "");
    EXPECT_EQ(reply.toText(), R"({"errcode":"9999","msg":"服务器访问失败!","data":""})");
}

TEST(CloudCallTable, ExtractTableTextCutsTheRowsSafely) {
    const std::string wellFormed =
        R"({"errcode":"0","msg":"","data":"{\"data\":\"a|+|b\\r\\nc|+|d\\r\\n\"}"})";
    struct Row {
        const char* name;
        std::string text;
        std::string want;
    };
    const Row rows[] = {
        {"well formed", wellFormed, "a|+|b\r\nc|+|d\r\n"},
        {"empty rows", R"({"data":"{\"data\":\"\"}"})", ""},
        {"no start mark", R"({"data":"x"}")", ""},
        {"no end mark", R"({"data":"{\"data\":\"a|+|b)", ""},
        {"end mark before start", R"("}"{"data":"{\"data\":\"abc)", ""},
        {"marks overlapping", R"(data\"}")", ""},
        {"empty text", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string text = row.text;
        CloudCall::extractTableText(text);
        EXPECT_EQ(text, row.want);
    }
}

TEST_F(CloudCallTest, GetGoesThroughTheTransport) {
    EXPECT_EQ(cloud.get("http://127.0.0.1/x"), "GET http://127.0.0.1/x");
    EXPECT_TRUE(transport.posts.empty());
}

}  // namespace
}  // namespace sscplan
