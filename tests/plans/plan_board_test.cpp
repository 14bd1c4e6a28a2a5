#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "common/text.h"
#include "plan_fakes.h"
#include "plans/plan_board.h"
#include "plans/plan_engine.h"
#include "plans/plan_prototypes.h"
#include "plans/plan_spec.h"
#include "platform/clock.h"

namespace sscplan {
namespace {

using testing::PlanScript;
using testing::ScriptedPlan;

constexpr std::int32_t kUptime = 5000;

// `count` draws of consecutive periods ending at period 100, newest first; the draw at
// index k has the numbers 1kkk0 (so its first digit is 1: a scripted hit) and seed
// 100 + 3k.
DrawHistory consecutiveDraws(std::size_t count) {
    DrawHistory history;
    for (std::size_t k = 0; k < count; ++k) {
        char numbers[8];
        std::snprintf(numbers, sizeof numbers, "1%03zu0", k);
        history.push_back({"20240101", PlanEngine::offsetPeriod(std::to_string(100 - k), 0), "",
                           numbers, static_cast<std::int32_t>(100 + 3 * k)});
    }
    return history;
}

class PlanBoardTest : public ::testing::Test {
  protected:
    PlanBoardTest() {
        engine.setResetOnMisses(0);
        board.attach(box, "测试计划");
    }
    void addScripted() {
        script->hittingCalls = {};
        script->hitsWhen = testing::firstDigitIsOne;
        script->fixedPrediction = "7";
        engine.addPlan(ScriptedPlan(script, "测试计划"));
    }

    FixedClock clock{kUptime};
    PlanPrototypes prototypes;
    PlanEngine engine{clock, prototypes};
    DrawHistory history;
    testing::UiLog log;
    testing::FakePlanBox box{log};
    testing::FakeEventPump events{log};
    std::int32_t formulaPeriods = 2;
    PlanBoard board{engine, history, clock, events, "后二单式", [this] { return formulaPeriods; }};
    std::shared_ptr<PlanScript> script = std::make_shared<PlanScript>();
};

TEST(PlanStatistics, Texts) {
    struct Case {
        std::int32_t total, hits, misses;
        const char* rate;
    };
    const Case cases[] = {{10, 7, 2, "70"},   {3, 1, 2, "33.33"}, {6, 4, 2, "66.67"},
                          {50, 31, 19, "62"}, {5, 0, 4, "0"},     {0, 0, 0, "0"},
                          {8, 1, 7, "12.5"}};
    for (const Case& c : cases) {
        EXPECT_EQ(statisticsText(c.total, c.hits, c.misses),
                  "当前计划统计：总计" + std::to_string(c.total) + "期，中" +
                      std::to_string(c.hits) + "期，挂" + std::to_string(c.misses) +
                      "期，中奖率为" + c.rate + "%\r\n彩票有风险，投注需谨慎！");
    }
    EXPECT_EQ(statisticsText(10, 7, 2),
              "当前计划统计：总计10期，中7期，挂2期，中奖率为70%\r\n彩票有风险，投注需谨慎！");
}

TEST(PlanStatistics, HitTargets) {
    const std::pair<std::int32_t, std::int32_t> cases[] = {
        {25, 45}, {70, 90}, {100, 120}, {101, 30}, {150, 35}, {47, 67}, {1001, 120}};
    for (const auto& [bets, target] : cases) EXPECT_EQ(hitTargetForBets(bets), target) << bets;
}

TEST_F(PlanBoardTest, ShowPlanWritesTextThenStatisticsAndLetsEventsRun) {
    addScripted();
    board.onNewDraw({"20240101", "051", "", "10000", 1});
    board.onNewDraw({"20240101", "052", "", "00000", 1});
    board.onNewDraw({"20240101", "053", "", "00000", 1});
    EXPECT_EQ(log.text,
              "051期 测试计划【7】 051-10000→中\r\n052期 测试计划【7】 052-00000→无\r\n"
              "053期 测试计划【7】 053-00000→无\r\n054期 测试计划【7】 等开\r\n\r\n\r\n" +
                  statisticsText(4, 1, 2));
    EXPECT_NE(log.text.find("中奖率为25%"), std::string::npos);
    ASSERT_EQ(log.events.size(), 9u);
    EXPECT_EQ(std::vector<std::string>(log.events.end() - 3, log.events.end()),
              (std::vector<std::string>{"setText", "caretAtEnd", "runPending"}));
}

TEST_F(PlanBoardTest, ShowPlanWithoutThePlanShowsZeroCounts) {
    addScripted();
    board.attach(box, "别的计划");
    board.showPlan();
    EXPECT_EQ(log.text, "\r\n\r\n" + statisticsText(0, 0, 0));
    EXPECT_NE(log.text.find("总计0期，中0期，挂0期，中奖率为0%"), std::string::npos);
}

TEST_F(PlanBoardTest, NewDrawIsFedLiveWithTheUptime) {
    addScripted();
    board.onNewDraw({"20240101", "052", "", "10000", 77});
    const std::int32_t nameSeed = engine.entryAt(1)->nameSeed;
    EXPECT_EQ(script->seeds,
              (std::vector<std::int32_t>{static_cast<std::int32_t>(kUptime) + 52 + nameSeed,
                                         static_cast<std::int32_t>(kUptime) + 52 + nameSeed}));
}

TEST_F(PlanBoardTest, RegenerateReplaysFortyNineDrawsThenTheNewestLive) {
    history = consecutiveDraws(60);
    addScripted();
    board.regenerate(1);

    const PlanEntry& e = *engine.entryAt(1);
    ASSERT_EQ(e.lineCount(), 51);
    for (std::size_t i = 0; i < 50; ++i) {
        EXPECT_EQ(e.lines[i].verifiedNumbers, history[49 - i].numbers) << "row " << i;
    }
    EXPECT_EQ(e.lines.front().startPeriod, "051") << "the draw at index 49 first";
    EXPECT_EQ(e.lines.back().startPeriod, "101");
    EXPECT_EQ(e.lines.back().status, kLineOpen);
    EXPECT_NE(log.text.find("101期 测试计划【7】 等开\r\n"), std::string::npos);

    // Replayed seeds run base + j * (uptime + 1) for the tries j = 1, 2, ..., where base is
    // the draw's period plus its seedValue; the newest draw's one seed is live.
    ASSERT_FALSE(script->seeds.empty());
    EXPECT_EQ(script->seeds.back(), kUptime + 100 + e.nameSeed) << "the newest fed live";
    std::vector<std::int32_t> bases;
    std::int32_t tries = 0;
    for (std::size_t i = 0; i + 1 < script->seeds.size(); ++i) {
        const std::int32_t seed = script->seeds[i];
        if (!bases.empty() && seed == bases.back() + (tries + 1) * (kUptime + 1)) {
            ++tries;
            continue;
        }
        ASSERT_TRUE(bases.empty() || tries <= 10);
        bases.push_back(seed - (kUptime + 1));
        tries = 1;
    }
    std::vector<std::int32_t> expected{100 - 49 + history[49].seedValue};
    for (std::size_t k = 49; k >= 1; --k) {
        expected.push_back(100 - static_cast<std::int32_t>(k) + history[k].seedValue);
    }
    EXPECT_EQ(bases, expected) << "the first row and each next row of indexes 49 to 1";
}

TEST_F(PlanBoardTest, FiftyConsecutiveDrawsLeaveFiftyOneRowsPerPlan) {
    history = consecutiveDraws(50);
    loadPlanSpecs(engine, "五星独胆 后一单双 后二单式25-70注");
    board.regenerate(1);
    ASSERT_EQ(engine.planCount(), 3);
    for (std::int32_t index = 1; index <= 3; ++index) {
        const PlanEntry& e = *engine.entryAt(index);
        ASSERT_EQ(e.lineCount(), 51) << e.name;
        EXPECT_EQ(e.lines.back().status, kLineOpen);
        for (std::size_t i = 0; i < 50; ++i) EXPECT_NE(e.lines[i].status, kLineOpen);
    }
    EXPECT_NE(engine.planText(1).find("101期 五星独胆【"), std::string::npos);
    EXPECT_NE(engine.planText(1).find("】 等开\r\n"), std::string::npos);
}

TEST_F(PlanBoardTest, RegenerateSetsTheWindowAndClearsOldRows) {
    history = consecutiveDraws(50);
    addScripted();
    board.onNewDraw({"20240101", "030", "", "10000", 1});
    board.regenerate(3);
    const PlanEntry& e = *engine.entryAt(1);
    EXPECT_EQ(e.windowLength, 3);
    EXPECT_EQ(e.lines.front().startPeriod, "051");
    EXPECT_EQ(e.lines.front().endPeriod, "053");
}

TEST_F(PlanBoardTest, RegenerateWithAShortHistory) {
    addScripted();
    board.regenerate(1);
    EXPECT_EQ(engine.entryAt(1)->lineCount(), 0);
    EXPECT_EQ(log.text, "\r\n\r\n" + statisticsText(0, 0, 0));

    history = consecutiveDraws(3);
    board.regenerate(1);
    EXPECT_EQ(engine.entryAt(1)->lineCount(), 4) << "two replayed, the newest live";
    EXPECT_EQ(engine.entryAt(1)->lines.front().startPeriod, "098");

    history = consecutiveDraws(1);
    board.regenerate(1);
    EXPECT_EQ(engine.entryAt(1)->lineCount(), 2);
}

TEST_F(PlanBoardTest, ApplyBetCountReregistersTheShownPlan) {
    history = consecutiveDraws(50);
    loadPlanSpecs(engine, "后二单式25-70注");
    board.attach(box, "后二单式25-70注");
    board.applyBetCount(47);

    EXPECT_EQ(board.planSpecText(), "后二单式47注");
    ASSERT_EQ(engine.planCount(), 1);
    EXPECT_EQ(engine.findPlan("后二单式25-70注"), 0);
    EXPECT_EQ(engine.findPlan("后二单式47注"), 1);
    EXPECT_EQ(engine.targetHitPercent(), 67);
    const PlanEntry& e = *engine.entryAt(1);
    EXPECT_EQ(e.windowLength, 2) << "the formula period count of the regeneration";
    EXPECT_EQ(e.lineCount() > 0, true);
    EXPECT_EQ(splitText(e.lines.back().prediction, " ").size(), 47u);
    EXPECT_NE(log.text.find("后二单式47注 等开"), std::string::npos);
}

}  // namespace
}  // namespace sscplan
