#include "appserver/cloud_service.h"

#include <gtest/gtest.h>

#include "appserver/schedule.h"
#include "server/cloud_call.h"
#include "tests/appserver/protocol_helpers.h"
#include "tests/appserver/server_process.h"

namespace sscplan::appserver {
namespace {

using testing::callBody;
using testing::decodedData;
using testing::rawCallBody;
using testing::replyJson;

constexpr std::int64_t kNow = 1781157600;
const std::string kBase = "http://127.0.0.1:19300";

DrawRecord draw(const char* date, const char* period, const char* time, const char* numbers,
                std::int32_t seed) {
    return DrawRecord{date, period, time, numbers, seed};
}

// A service over a store of three draws of 2019-03-07, serving application ids 1017 and
// 1018, with its clock standing at kNow.
class CloudServiceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        store_ = DrawStore::open(dir_.file("draws.sqlite"), true, error);
        ASSERT_TRUE(store_) << error;
        ASSERT_TRUE(store_->insert(draws_, error)) << error;
        callTokens_ = std::make_unique<CallTokens>(store_->secret());
        sessions_ = std::make_unique<SessionTokens>(store_->secret());
        ServiceConfig config;
        config.appIds = {1017, 1018};
        config.offeredVersion = "1.50";
        config.updateFileName = "sscplan-1.50.bin";
        config.notice = "公告";
        service_ = std::make_unique<CloudService>(config, board_, *store_, *callTokens_, *sessions_,
                                                  clock_);
        publish();
    }

    void publish() {
        board_.publish(store_->latest(DrawBoard::kSnapshotDraws),
                       scheduledRecord(Slot{*parseDateText("20190307"), 24}));
    }

    nlohmann::json send(const std::string& body) {
        return replyJson(service_->handle(body, kBase).body);
    }
    std::string token() { return callTokens_->issue(clock_.unixSeconds()); }
    nlohmann::json call(const std::string& funname, const std::vector<std::string>& params,
                        const std::string& appId = "1017") {
        return send(callBody(funname, params, token(), appId));
    }
    std::string session(const std::string& appId = "1017") {
        const auto reply = call("init", {}, appId);
        return decodedData(reply).value("token", std::string());
    }

    testing::TempDir dir_;
    FixedClock clock_{0, kNow};
    std::unique_ptr<DrawStore> store_;
    std::unique_ptr<CallTokens> callTokens_;
    std::unique_ptr<SessionTokens> sessions_;
    DrawBoard board_;
    std::unique_ptr<CloudService> service_;
    const DrawHistory draws_ = {
        draw("20190307", "023", "2019-03-07 01:55:00", "90817", 123456),
        draw("20190307", "022", "2019-03-07 01:50:00", "00001", 7),
        draw("20190306", "120", "2019-03-07 00:00:00", "55555", 2147483647),
    };
};

TEST_F(CloudServiceTest, TokenExchangeGivesTheTokenOfThisSecond) {
    const auto reply = send("DATA=GETRAND?1781157600");
    EXPECT_EQ(reply["errcode"], "0");
    EXPECT_EQ(protocol::decodeToken(reply["data"].get<std::string>()), token());
}

TEST_F(CloudServiceTest, InitSendsTheSettingsAndASessionToken) {
    const auto reply = call("init", {});
    ASSERT_EQ(reply["errcode"], "0") << reply.dump();
    const auto data = decodedData(reply);
    ASSERT_TRUE(data.is_object()) << "data must decipher under the request's rand";
    EXPECT_EQ(data["drawurl"], kBase + "/draw");
    EXPECT_EQ(data["newphase"], kBase + "/newphase");
    EXPECT_EQ(data["advert1"], kBase + "/panel");
    EXPECT_EQ(data["version"], "1.50");
    EXPECT_EQ(data["proupurl"], kBase + "/update/sscplan-1.50.bin");
    for (const char* key : {"userurl", "advert2", "seo"}) {
        EXPECT_TRUE(data[key].get<std::string>().starts_with(kBase)) << key;
    }
    EXPECT_TRUE(sessions_->verify(data["token"].get<std::string>(), 1017));
}

TEST_F(CloudServiceTest, SelectDrawRowsSurviveTheClientsCut) {
    const std::string body =
        service_->handle(callBody("select_draw", {session(), "50"}, token()), kBase).body;
    ASSERT_EQ(replyJson(body)["errcode"], "0") << body;
    // On the wire the rows' line breaks are escaped twice: once in the inner object, once
    // more when that object becomes the outer "data" string.
    EXPECT_NE(body.find("|+|123456\\\\r\\\\n20190307|+|022"), std::string::npos) << body;
    std::string rows = body;
    CloudCall::extractTableText(rows);
    EXPECT_EQ(rows,
              "20190307|+|023|+|2019-03-07 01:55:00|+|90817|+|123456\r\n"
              "20190307|+|022|+|2019-03-07 01:50:00|+|00001|+|7\r\n"
              "20190306|+|120|+|2019-03-07 00:00:00|+|55555|+|2147483647");

    std::string two =
        service_->handle(callBody("select_draw", {session(), "2"}, token()), kBase).body;
    CloudCall::extractTableText(two);
    EXPECT_EQ(two,
              "20190307|+|023|+|2019-03-07 01:55:00|+|90817|+|123456\r\n"
              "20190307|+|022|+|2019-03-07 01:50:00|+|00001|+|7");
}

TEST_F(CloudServiceTest, SelectDrawDateGivesTheRowsOfThatDay) {
    std::string body =
        service_->handle(callBody("select_draw_date", {session(), "2019-3-6"}, token()), kBase)
            .body;
    ASSERT_EQ(replyJson(body)["errcode"], "0") << body;
    CloudCall::extractTableText(body);
    EXPECT_EQ(body, "20190306|+|120|+|2019-03-07 00:00:00|+|55555|+|2147483647");

    std::string none =
        service_->handle(callBody("select_draw_date", {session(), "2019-3-8"}, token()), kBase)
            .body;
    CloudCall::extractTableText(none);
    EXPECT_EQ(none, "");
}

TEST_F(CloudServiceTest, NewestDrawGivesTheLatestAndTheNextDraw) {
    const auto reply = call("newestdraw", {session()});
    ASSERT_EQ(reply["errcode"], "0") << reply.dump();
    EXPECT_EQ(decodedData(reply)["data"],
              "20190307| |023| |2019-03-07 01:55:00| |90817| |123456| |"
              "20190307| |024| |2019-03-07 10:00:00");
}

TEST_F(CloudServiceTest, GetInitGivesTheNotice) {
    const auto reply = call("getInit", {session()});
    ASSERT_EQ(reply["errcode"], "0");
    EXPECT_EQ(decodedData(reply)["data"], "公告");
}

TEST_F(CloudServiceTest, CallTokensLiveSixtySeconds) {
    const std::string issued = token();
    const std::string body = callBody("init", {}, issued);
    clock_.setUnixSeconds(kNow + CallTokens::kCallTokenLifetime);
    EXPECT_EQ(send(body)["errcode"], "0");
    clock_.setUnixSeconds(kNow + CallTokens::kCallTokenLifetime + 1);
    EXPECT_EQ(send(body)["errcode"], kBadCallToken.code);
}

TEST_F(CloudServiceTest, RefusesEachFaultWithItsOwnErrcode) {
    const std::string good = session();
    const std::string other = session("1018");
    struct Case {
        const char* name;
        std::string body;
        const char* errcode;
    };
    const std::vector<Case> cases = {
        {"body over 64 KiB", "DATA=" + std::string(kMaxBodyBytes, 'A'), kBodyTooLarge.code},
        {"no DATA field", "hello", kMalformedBody.code},
        {"token request without seconds", "DATA=GETRAND?x1", kMalformedBody.code},
        {"payload not hex", "DATA=ZZ", kMalformedBody.code},
        {"payload of odd length", "DATA=ABC", kMalformedBody.code},
        {"token never issued", callBody("init", {}, "0123456789abcdef"), kBadCallToken.code},
        {"request not JSON", rawCallBody("not%20json", token()), kUnreadableRequest.code},
        {"request with a bad escape", rawCallBody("%zz", token()), kUnreadableRequest.code},
        {"request without param",
         rawCallBody(protocol::percentEncode(R"({"rand":"1","funname":"init","appid":"1017"})"),
                     token()),
         kUnreadableRequest.code},
        {"number where a text belongs",
         rawCallBody(
             protocol::percentEncode(R"({"rand":1,"funname":"init","appid":"1017","param":[]})"),
             token()),
         kUnreadableRequest.code},
        {"unknown application", callBody("init", {}, token(), "999"), kUnknownApp.code},
        {"unknown function", callBody("drop_draws", {good}, token()), kUnknownFunction.code},
        {"forged session", callBody("select_draw", {std::string(56, 'a'), "50"}, token()),
         kBadSession.code},
        {"session of another application", callBody("select_draw", {other, "50"}, token()),
         kBadSession.code},
        {"no session", callBody("newestdraw", {}, token()), kBadSession.code},
        {"count missing", callBody("select_draw", {good}, token()), kBadParameter.code},
        {"count zero", callBody("select_draw", {good, "0"}, token()), kBadParameter.code},
        {"count not a number", callBody("select_draw", {good, "5x"}, token()), kBadParameter.code},
        {"count too large", callBody("select_draw", {good, "1001"}, token()), kBadParameter.code},
        {"day that does not exist", callBody("select_draw_date", {good, "2019-2-29"}, token()),
         kBadParameter.code},
    };
    for (const Case& c : cases) {
        const ServiceReply reply = service_->handle(c.body, kBase);
        const auto json = replyJson(reply.body);
        ASSERT_TRUE(json.is_object()) << c.name;
        EXPECT_EQ(json["errcode"], c.errcode) << c.name;
        EXPECT_STREQ(reply.errcode, c.errcode) << c.name;
        EXPECT_FALSE(json["msg"].get<std::string>().empty()) << c.name;
        EXPECT_EQ(json["data"], "") << c.name;
    }
    EXPECT_EQ(call("newestdraw", {good})["errcode"], "0") << "the service still answers";
}

TEST_F(CloudServiceTest, NewestDrawWithoutDrawsIsRefused) {
    board_.publish({}, std::nullopt);
    EXPECT_EQ(call("newestdraw", {session()})["errcode"], kNoDraws.code);
    std::string body =
        service_->handle(callBody("select_draw", {session(), "50"}, token()), kBase).body;
    EXPECT_EQ(replyJson(body)["errcode"], "0");
    CloudCall::extractTableText(body);
    EXPECT_EQ(body, "") << "an empty table, which the client leaves alone";
}

}  // namespace
}  // namespace sscplan::appserver
