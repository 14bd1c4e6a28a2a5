#include "server/cloud_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "common/text.h"
#include "tests/client/client_stack.h"
#include "tests/fakes/fake_app_server.h"

namespace sscplan {
namespace {

using testing::ClientStack;
using testing::FakeAppServer;
using testing::kAppId;
using Fault = FakeAppServer::Fault;
using Stage = FakeAppServer::Stage;
using namespace std::chrono_literals;

DrawTable tableOfRows(const std::vector<std::string>& rows, std::size_t count) {
    DrawTable table;
    for (std::size_t i = 0; i < count; ++i) table.push_back(splitText(rows[i], "|+|"));
    return table;
}

const DrawTable kUntouched = {{"untouched"}};

class CloudClientTest : public ::testing::Test {
  protected:
    void initialise() {
        ASSERT_TRUE(stack_.client.init(server_.initUrl(), kAppId)) << stack_.client.lastError();
    }

    FakeAppServer server_;
    ClientStack stack_;
    CloudClient& client_ = stack_.client;
};

TEST_F(CloudClientTest, RoundTripFillsSettingsTableAndNewestDraw) {
    nlohmann::ordered_json data = server_.initData();
    data["version"] = 1.5;
    server_.setInitData(data);

    ASSERT_TRUE(client_.init(server_.initUrl(), kAppId)) << client_.lastError();
    InitSettings settings;
    client_.copySettings(settings);
    const InitSettings expected{server_.url("/user"),
                                server_.url(FakeAppServer::kDrawPath),
                                server_.url(FakeAppServer::kLatestPeriodPath),
                                server_.url("/advert.html"),
                                "",
                                "1.5",
                                server_.url("/update.bin"),
                                "重庆时时彩"};
    EXPECT_EQ(settings, expected);
    EXPECT_EQ(client_.sessionToken(), FakeAppServer::kSessionToken);

    DrawTable table;
    ASSERT_TRUE(client_.selectDraw(50, table)) << client_.lastError();
    EXPECT_EQ(table, tableOfRows(server_.drawRows(), 50));

    std::vector<std::string> newest;
    ASSERT_TRUE(client_.newestDraw(newest));
    EXPECT_EQ(newest, splitText(server_.newestDrawText(), "| |"));
    EXPECT_EQ(newest.size(), 8u);

    EXPECT_EQ(client_.latestPeriod(), "20261211060");
    EXPECT_EQ(client_.lastError(), "");
    EXPECT_EQ(stack_.events.count(), 0);

    const auto calls = server_.calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].path, FakeAppServer::kInitPath);
    EXPECT_EQ(calls[0].funname, "init");
    EXPECT_EQ(calls[0].appid, "1017");
    EXPECT_TRUE(calls[0].params.empty());
    EXPECT_EQ(calls[1].path, FakeAppServer::kDrawPath);
    EXPECT_EQ(calls[1].funname, "select_draw");
    EXPECT_EQ(calls[1].params, (std::vector<std::string>{FakeAppServer::kSessionToken, "50"}));
    EXPECT_EQ(calls[2].funname, "newestdraw");
    EXPECT_EQ(calls[2].params, std::vector<std::string>{FakeAppServer::kSessionToken});
    EXPECT_EQ(server_.tokenRequests(), 3);
    EXPECT_EQ(server_.latestPeriodRequests(), 1);
}

TEST_F(CloudClientTest, WithoutSessionTokenQueriesSendItEmptyOrLeaveItOut) {
    nlohmann::ordered_json data = server_.initData();
    data.erase("token");
    server_.setInitData(data);
    initialise();
    EXPECT_EQ(client_.sessionToken(), "");

    DrawTable table;
    ASSERT_TRUE(client_.selectDraw(5, table));
    std::vector<std::string> newest;
    ASSERT_TRUE(client_.newestDraw(newest));

    const auto calls = server_.calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1].params, (std::vector<std::string>{"", "5"}));
    EXPECT_TRUE(calls[2].params.empty());
}

TEST(CloudClient, NothingListeningFailsAfterTenAttemptsEachFollowedByPendingEvents) {
    ClientStack stack;
    const int port = [] {
        FakeAppServer gone;
        return gone.port();
    }();
    EXPECT_FALSE(
        stack.client.init("http://127.0.0.1:" + std::to_string(port) + "/appinit.php", kAppId));
    EXPECT_EQ(stack.client.lastError(), "初始化连接服务器失败！：服务器访问失败! 错误代码：9999");
    EXPECT_EQ(stack.events.count(), CloudClient::kInitAttempts);
}

struct InitFailure {
    const char* name;
    Stage stage;
    Fault fault;
    std::string lastError;
};

void PrintTo(const InitFailure& value, std::ostream* out) { *out << value.name; }

class InitFailureTest : public ::testing::TestWithParam<InitFailure> {};

TEST_P(InitFailureTest, TenAttemptsThenTheLastReplyInTheMessage) {
    FakeAppServer server;
    server.setRefusal("1002", "令牌已用完");
    server.setFault(GetParam().stage, GetParam().fault);
    // Silent servers cost ten whole time-outs: keep them short here.
    ClientStack stack({100ms, 150ms});

    EXPECT_FALSE(stack.client.init(server.initUrl(), kAppId));
    EXPECT_EQ(stack.client.lastError(), "初始化连接服务器失败！：" + GetParam().lastError);
    EXPECT_EQ(stack.events.count(), CloudClient::kInitAttempts);
    EXPECT_EQ(server.tokenRequests(), CloudClient::kInitAttempts);
    InitSettings settings;
    stack.client.copySettings(settings);
    EXPECT_EQ(settings, InitSettings{});
    EXPECT_EQ(stack.client.sessionToken(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, InitFailureTest,
    ::testing::Values(
        InitFailure{"TokenNoAnswer", Stage::Token, Fault::NoAnswer,
                    "服务器访问失败! 错误代码：9999"},
        InitFailure{"TokenEmptyBody", Stage::Token, Fault::EmptyBody,
                    "服务器访问失败! 错误代码：9999"},
        InitFailure{"TokenNotJson", Stage::Token, Fault::NotJson, "服务器访问错误! 错误代码：9999"},
        InitFailure{"TokenTruncatedJson", Stage::Token, Fault::TruncatedJson,
                    "服务器访问错误! 错误代码：9999"},
        InitFailure{"TokenHugeBody", Stage::Token, Fault::HugeBody,
                    "服务器访问错误! 错误代码：9999"},
        InitFailure{"TokenRefused", Stage::Token, Fault::Refuse, "令牌已用完 错误代码：1002"},
        InitFailure{"CallClosedMidAnswer", Stage::Call, Fault::ClosedMidAnswer,
                    "服务器访问失败! 错误代码：9999"},
        InitFailure{"CallEmptyBody", Stage::Call, Fault::EmptyBody,
                    "服务器访问失败! 错误代码：9999"},
        InitFailure{"CallNotJson", Stage::Call, Fault::NotJson, "服务器访问错误! 错误代码：9999"},
        InitFailure{"CallRefused", Stage::Call, Fault::Refuse, "令牌已用完 错误代码：1002"},
        InitFailure{"DataUnderWrongKey", Stage::Call, Fault::WrongDataKey,
                    "服务器访问错误!2 错误代码：9999"},
        InitFailure{"DataNotHex", Stage::Call, Fault::NonHexData,
                    "服务器访问错误!2 错误代码：9999"},
        InitFailure{"DataNotUtf8", Stage::Call, Fault::NonUtf8Data,
                    "服务器访问错误!2 错误代码：9999"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CloudClientTest, AnswerBeyondTheBodyLimitCountsAsNoAnswer) {
    ClientStack capped(testing::kShortTimeouts, 64 * 1024);
    server_.setFault(Stage::Token, Fault::HugeBody);
    EXPECT_FALSE(capped.client.init(server_.initUrl(), kAppId));
    EXPECT_EQ(capped.client.lastError(), "初始化连接服务器失败！：服务器访问失败! 错误代码：9999");
}

TEST_F(CloudClientTest, InitRetriesWhilePendingEventsRunAndSucceedsLater) {
    server_.setFault(Stage::Call, Fault::EmptyBody);
    stack_.events.onRun([this](int count) {
        if (count == 3) server_.setFault(Stage::Call, Fault::None);
    });
    initialise();
    EXPECT_EQ(stack_.events.count(), 3);
    EXPECT_EQ(server_.tokenRequests(), 4);
    EXPECT_EQ(client_.sessionToken(), FakeAppServer::kSessionToken);
}

TEST_F(CloudClientTest, FailedInitKeepsWhatTheLastSuccessfulOneGave) {
    initialise();
    InitSettings before;
    client_.copySettings(before);

    FakeAppServer other;
    other.setFault(Stage::Call, Fault::Refuse);
    EXPECT_FALSE(client_.init(other.initUrl(), kAppId));

    InitSettings after;
    client_.copySettings(after);
    EXPECT_EQ(after, before);
    EXPECT_EQ(client_.sessionToken(), FakeAppServer::kSessionToken);
    DrawTable table;
    EXPECT_TRUE(client_.selectDraw(3, table)) << client_.lastError();
    EXPECT_EQ(table.size(), 3u);
    EXPECT_EQ(client_.latestPeriod(), "20261211060");
}

TEST(CloudClient, QueriesBeforeInitFailCleanly) {
    ClientStack stack;
    DrawTable table = kUntouched;
    EXPECT_FALSE(stack.client.selectDraw(50, table));
    EXPECT_EQ(stack.client.lastError(), "获取最新开奖数据失败!服务器访问失败! 错误代码：9999");
    EXPECT_EQ(table, kUntouched);
    std::vector<std::string> newest = {"kept"};
    EXPECT_FALSE(stack.client.newestDraw(newest));
    EXPECT_EQ(newest, std::vector<std::string>{"kept"});
    EXPECT_EQ(stack.client.latestPeriod(), "");
    EXPECT_EQ(stack.client.lastError(), "最新期号获取失败!");
}

struct TableQueryFailure {
    const char* name;
    Stage stage;
    Fault fault;
    std::string lastError;
};

void PrintTo(const TableQueryFailure& value, std::ostream* out) { *out << value.name; }

class TableQueryFailureTest : public CloudClientTest,
                              public ::testing::WithParamInterface<TableQueryFailure> {};

TEST_P(TableQueryFailureTest, FailsWithTheReplyInTheMessageAndKeepsTheTable) {
    initialise();
    server_.setFault(GetParam().stage, GetParam().fault);
    const std::string expected = "获取最新开奖数据失败!" + GetParam().lastError;

    DrawTable table = kUntouched;
    EXPECT_FALSE(client_.selectDraw(50, table));
    EXPECT_EQ(client_.lastError(), expected);
    EXPECT_EQ(table, kUntouched);

    client_.setLastError("");
    EXPECT_FALSE(client_.selectDrawDate("2026-12-11", table));
    EXPECT_EQ(client_.lastError(), expected);
    EXPECT_EQ(table, kUntouched);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TableQueryFailureTest,
    ::testing::Values(
        TableQueryFailure{"NoAnswer", Stage::Call, Fault::NoAnswer,
                          "服务器访问失败! 错误代码：9999"},
        TableQueryFailure{"EmptyBody", Stage::Call, Fault::EmptyBody,
                          "服务器访问失败! 错误代码：9999"},
        TableQueryFailure{"NotJson", Stage::Call, Fault::NotJson, "服务器访问错误! 错误代码：9999"},
        TableQueryFailure{"TruncatedJson", Stage::Call, Fault::TruncatedJson,
                          "服务器访问错误! 错误代码：9999"},
        TableQueryFailure{"Refused", Stage::Call, Fault::Refuse, "拒绝访问 错误代码：1001"},
        TableQueryFailure{"TokenRefused", Stage::Token, Fault::Refuse, "拒绝访问 错误代码：1001"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CloudClientTest, ForeignSessionTokenIsRefusedByTheServer) {
    initialise();
    nlohmann::ordered_json data = server_.initData();
    data["token"] = "someone-else";
    server_.setInitData(data);
    DrawTable table;
    EXPECT_FALSE(client_.selectDraw(50, table));
    EXPECT_EQ(client_.lastError(), "获取最新开奖数据失败!会话无效 错误代码：2");
}

struct TableTextCase {
    const char* name;
    std::string tableText;
    bool succeeds;
    DrawTable table;  // what the out table holds afterwards
};

void PrintTo(const TableTextCase& value, std::ostream* out) { *out << value.name; }

class TableTextTest : public CloudClientTest,
                      public ::testing::WithParamInterface<TableTextCase> {};

TEST_P(TableTextTest, BuildsOrRefusesTheTable) {
    initialise();
    server_.setTableText(GetParam().tableText);
    client_.setLastError("before");

    DrawTable table = kUntouched;
    EXPECT_EQ(client_.selectDraw(50, table), GetParam().succeeds);
    EXPECT_EQ(table, GetParam().table);
    EXPECT_EQ(client_.lastError(),
              GetParam().succeeds ? "before" : "获取最新开奖数据失败!成功 错误代码：0");
}

INSTANTIATE_TEST_SUITE_P(
    Tables, TableTextTest,
    ::testing::Values(TableTextCase{"Empty", "", true, kUntouched},
                      TableTextCase{"TrailingLineBreakAddsNoRow",
                                    "a|+|b|+|c|+|d|+|1\r\n",
                                    true,
                                    {{"a", "b", "c", "d", "1"}}},
                      TableTextCase{"CellsFlowAcrossLines",
                                    "a|+|b|+|c|+|d|+|e|+|f\r\ng|+|h|+|i|+|j|+|k",
                                    true,
                                    {{"a", "b", "c", "d", "e"}, {"f", "g", "h", "i", "j"}}},
                      TableTextCase{"NonAsciiCellsPassUnchanged",
                                    "二〇二六|+|001|+|时间|+|12345|+|7",
                                    true,
                                    {{"二〇二六", "001", "时间", "12345", "7"}}},
                      TableTextCase{"FewerCellsThanLines", "a\r\n\r\nb", false, kUntouched},
                      TableTextCase{"OnlyLineBreaks", "\r\n\r\n", false, kUntouched},
                      TableTextCase{"FourColumns", "a|+|b|+|c|+|d\r\ne|+|f|+|g|+|h", false,
                                    kUntouched}),
    [](const auto& info) { return std::string(info.param.name); });

struct DateCase {
    const char* name;
    std::string dateText;
    std::string sentDay;
};

void PrintTo(const DateCase& value, std::ostream* out) { *out << value.name; }

class DrawDateTest : public CloudClientTest, public ::testing::WithParamInterface<DateCase> {};

TEST_P(DrawDateTest, SendsTheDayWithoutLeadingZeros) {
    initialise();
    DrawTable table;
    ASSERT_TRUE(client_.selectDrawDate(GetParam().dateText, table)) << client_.lastError();
    EXPECT_EQ(table, tableOfRows(server_.drawRows(), server_.drawRows().size()));
    const auto calls = server_.calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].funname, "select_draw_date");
    EXPECT_EQ(calls[1].params,
              (std::vector<std::string>{FakeAppServer::kSessionToken, GetParam().sentDay}));
}

INSTANTIATE_TEST_SUITE_P(Dates, DrawDateTest,
                         ::testing::Values(DateCase{"DateTime", "2019-03-07 10:20:00", "2019-3-7"},
                                           DateCase{"Slashes", "2019/3/7", "2019-3-7"},
                                           DateCase{"Compact", "20191231", "2019-12-31"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CloudClientTest, UnreadableDateFailsWithoutAskingTheServer) {
    initialise();
    DrawTable table = kUntouched;
    EXPECT_FALSE(client_.selectDrawDate("2019-02-29", table));
    EXPECT_EQ(client_.lastError(), "获取最新开奖数据失败!日期无效：2019-02-29");
    EXPECT_EQ(table, kUntouched);
    EXPECT_EQ(server_.calls().size(), 1u);
}

TEST_F(CloudClientTest, NewestDrawSplitsTheDataText) {
    initialise();
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"a| |b| |c| |d| |e| |f| |g", {"a", "b", "c", "d", "e", "f", "g"}},
        {"a| |b| |", {"a", "b"}},
        {"a| || |b", {"a", "", "b"}},
    };
    for (const auto& [text, pieces] : cases) {
        server_.setNewestDrawText(text);
        std::vector<std::string> newest = {"old"};
        EXPECT_TRUE(client_.newestDraw(newest)) << text;
        EXPECT_EQ(newest, pieces) << text;
    }

    server_.setNewestDrawText("");
    std::vector<std::string> newest = {"old"};
    EXPECT_FALSE(client_.newestDraw(newest));
    EXPECT_TRUE(newest.empty());
}

TEST_F(CloudClientTest, FailedNewestDrawKeepsTheListAndSetsNoError) {
    initialise();
    for (const Fault fault : {Fault::EmptyBody, Fault::NotJson, Fault::Refuse, Fault::WrongDataKey,
                              Fault::NonHexData, Fault::NonUtf8Data}) {
        server_.setFault(Stage::Call, fault);
        client_.setLastError("before");
        std::vector<std::string> newest = {"old"};
        EXPECT_FALSE(client_.newestDraw(newest));
        EXPECT_EQ(newest, std::vector<std::string>{"old"});
        EXPECT_EQ(client_.lastError(), "before");

        std::string text = "old";
        EXPECT_FALSE(client_.getInit(text));
        EXPECT_EQ(client_.lastError(), "before");
    }
}

TEST_F(CloudClientTest, GetInitGivesItsDataText) {
    initialise();
    std::string text;
    ASSERT_TRUE(client_.getInit(text));
    EXPECT_EQ(text, "公告：欢迎使用");
    EXPECT_EQ(server_.calls().back().params,
              std::vector<std::string>{FakeAppServer::kSessionToken});

    server_.setGetInitText("");
    EXPECT_FALSE(client_.getInit(text));
}

TEST_F(CloudClientTest, LatestPeriodComesAsItWasSent) {
    initialise();
    server_.setLatestPeriodText("20261211-060\r\n");
    EXPECT_EQ(client_.latestPeriod(), "20261211-060\r\n");
    EXPECT_EQ(client_.lastError(), "");

    for (const Fault fault : {Fault::EmptyBody, Fault::NoAnswer, Fault::ClosedMidAnswer}) {
        server_.setFault(Stage::LatestPeriod, fault);
        client_.setLastError("");
        EXPECT_EQ(client_.latestPeriod(), "");
        EXPECT_EQ(client_.lastError(), "最新期号获取失败!");
    }
}

}  // namespace
}  // namespace sscplan
