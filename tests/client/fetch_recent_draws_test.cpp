#include "draws/fetch_recent_draws.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/client/client_stack.h"
#include "tests/fakes/fake_app_server.h"

namespace sscplan {
namespace {

using testing::FakeAppServer;

std::vector<std::string> rows(int count) {
    std::vector<std::string> made;
    for (int i = 1; i <= count; ++i) {
        made.push_back("20261211|+|" + std::to_string(100 + i) + "|+|2026-12-11 10:00:00|+|" +
                       std::to_string(10000 + i) + "|+|" + std::to_string(i * 11));
    }
    return made;
}

const DrawHistory kEarlier = {DrawRecord{"20261210", "120", "t", "00000", 7}};

class FetchRecentDrawsTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(stack_.client.init(server_.initUrl(), testing::kAppId)); }

    FakeAppServer server_;
    testing::ClientStack stack_;
    testing::RecordingMessageBoxes boxes_;
    DrawHistory history_ = kEarlier;
};

struct FetchCase {
    const char* name;
    int serverRows;
    int count;
    int filled;
};

void PrintTo(const FetchCase& value, std::ostream* out) { *out << value.name; }

class FetchCountTest : public FetchRecentDrawsTest,
                       public ::testing::WithParamInterface<FetchCase> {};

TEST_P(FetchCountTest, GivesExactlyCountRecordsFilledFromTheRows) {
    server_.setDrawRows(rows(GetParam().serverRows));
    ASSERT_TRUE(fetchRecentDraws(stack_.client, boxes_, GetParam().count, history_));
    EXPECT_TRUE(boxes_.shown.empty());
    ASSERT_EQ(history_.size(), static_cast<std::size_t>(GetParam().count));
    for (int r = 0; r < GetParam().count; ++r) {
        if (r < GetParam().filled) {
            const int i = r + 1;
            EXPECT_EQ(history_[r],
                      (DrawRecord{"20261211", std::to_string(100 + i), "2026-12-11 10:00:00",
                                  std::to_string(10000 + i), i * 11}));
        } else {
            EXPECT_EQ(history_[r], DrawRecord{}) << r;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, FetchCountTest,
                         ::testing::Values(FetchCase{"Fifty", 50, 50, 50},
                                           FetchCase{"ThirtyOfFifty", 30, 50, 30},
                                           FetchCase{"NoRows", 0, 50, 0},
                                           FetchCase{"CountZero", 10, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FetchRecentDrawsTest, RowsBeyondTheCountAreLeftOut) {
    std::string text;
    for (const std::string& row : rows(55)) text += row + "\r\n";
    server_.setTableText(text);
    ASSERT_TRUE(fetchRecentDraws(stack_.client, boxes_, 50, history_));
    ASSERT_EQ(history_.size(), 50u);
    EXPECT_EQ(history_.back().periodNo, "150");
}

TEST_F(FetchRecentDrawsTest, SeedThatIsNoNumberBecomesZero) {
    server_.setDrawRows({"20261211|+|001|+|t|+|12345|+|abc", "20261211|+|002|+|t|+|54321|+|47.5"});
    ASSERT_TRUE(fetchRecentDraws(stack_.client, boxes_, 2, history_));
    EXPECT_EQ(history_[0].seedValue, 0);
    EXPECT_EQ(history_[1].seedValue, 47);
}

TEST_F(FetchRecentDrawsTest, FailureShowsTheMessageAndKeepsTheHistory) {
    server_.setFault(FakeAppServer::Stage::Call, FakeAppServer::Fault::Refuse);
    EXPECT_FALSE(fetchRecentDraws(stack_.client, boxes_, 50, history_));
    EXPECT_EQ(boxes_.shown,
              std::vector<std::string>{
                  "查询最近开奖数据失败！获取最新开奖数据失败!拒绝访问 错误代码：1001"});
    EXPECT_EQ(history_, kEarlier);
}

TEST_F(FetchRecentDrawsTest, TableNarrowerThanARecordIsAFailure) {
    server_.setTableText("a|+|b\r\nc|+|d");
    EXPECT_FALSE(fetchRecentDraws(stack_.client, boxes_, 50, history_));
    EXPECT_EQ(boxes_.shown, std::vector<std::string>{
                                "查询最近开奖数据失败！获取最新开奖数据失败!成功 错误代码：0"});
    EXPECT_EQ(history_, kEarlier);
}

}  // namespace
}  // namespace sscplan
