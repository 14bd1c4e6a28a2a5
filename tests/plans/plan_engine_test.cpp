#include <gtest/gtest.h>

#include <memory>

#include "common/random.h"
#include "common/text.h"
#include "plan_fakes.h"
#include "plans/plan_engine.h"
#include "plans/plan_prototypes.h"
#include "platform/clock.h"

namespace sscplan {
namespace {

using testing::PlanScript;
using testing::ScriptedPlan;

constexpr const char* kHit = "10000";
constexpr const char* kMiss = "00000";

class PlanEngineTest : public ::testing::Test {
  protected:
    // Registers a scripted plan that hits every draw whose first digit is 1.
    void addScripted(std::int32_t window = 1, std::int32_t mode = 1,
                     const std::string& name = "测试") {
        script->hitsWhen = testing::firstDigitIsOne;
        script->fixedPrediction = "7";
        engine.addPlan(ScriptedPlan(script, name, window, mode));
    }
    void feedLive(const std::string& period, const std::string& numbers) {
        ASSERT_TRUE(engine.feedDraw("20240101" + period, numbers, 1000, ""));
    }
    const PlanEntry& entry(std::int32_t index = 1) { return *engine.entryAt(index); }

    FixedClock clock{1000};
    PlanPrototypes prototypes;
    PlanEngine engine{clock, prototypes};
    std::shared_ptr<PlanScript> script = std::make_shared<PlanScript>();
};

TEST_F(PlanEngineTest, StartsWithTheInitialParameters) {
    EXPECT_EQ(engine.targetHitPercent(), 80);
    EXPECT_EQ(engine.resetOnMisses(), 1);
    EXPECT_EQ(engine.maxLines(), 0);
    EXPECT_EQ(engine.prefixSeed(), 0);
    EXPECT_EQ(engine.linePrefix(), "");
    EXPECT_EQ(engine.planCount(), 0);

    addScripted();
    engine.setLinePrefix("abc");
    engine.setMaxLines(4);
    engine.setResetOnMisses(0);
    engine.clearAll();
    EXPECT_EQ(engine.planCount(), 0);
    EXPECT_EQ(engine.targetHitPercent(), 0);
    EXPECT_EQ(engine.resetOnMisses(), 1);
    EXPECT_EQ(engine.maxLines(), 0);
    EXPECT_EQ(engine.prefixSeed(), 0);
    EXPECT_EQ(engine.linePrefix(), "");
}

TEST_F(PlanEngineTest, SeedsComeFromTheMd5OfGbkNames) {
    engine.addPlan(ScriptedPlan(script, "abc"));
    engine.addPlan(FiveStarSingleDigitPlan());
    EXPECT_EQ(entry(1).nameSeed, 0x900150);
    EXPECT_EQ(entry(2).nameSeed, 0x4b69f5) << "digest of the GBK bytes of 五星独胆";
    engine.setLinePrefix("abc");
    EXPECT_EQ(engine.prefixSeed(), 1878962024) << "|0x90015098 as a signed 32-bit number|";
}

TEST_F(PlanEngineTest, OffsetPeriod) {
    const std::tuple<const char*, std::int32_t, const char*> cases[] = {
        {"20240101051", 0, "051"}, {"20240101051", 2, "053"}, {"119", 1, "120"},
        {"119", 2, "001"},         {"120", 1, "001"},         {"001", -1, "000"},
        {"5", 0, "005"},           {"099", 1, "100"},         {"abc", 0, "000"},
    };
    for (const auto& [period, k, result] : cases) {
        EXPECT_EQ(PlanEngine::offsetPeriod(period, k), result) << period << " + " << k;
    }
}

TEST_F(PlanEngineTest, SplitDigitsNeedsExactlyFiveCharacters) {
    DrawDigits out{"kept"};
    EXPECT_FALSE(PlanEngine::splitDigits("1234", out));
    EXPECT_FALSE(PlanEngine::splitDigits("123456", out));
    EXPECT_EQ(out, DrawDigits{"kept"});
    EXPECT_TRUE(PlanEngine::splitDigits("12345", out));
    EXPECT_EQ(out, (DrawDigits{"1", "2", "3", "4", "5"}));
}

TEST_F(PlanEngineTest, FormatEntryRows) {
    PlanEntry e;
    e.name = "五星独胆";
    e.windowLength = 1;
    e.displayMode = 1;
    e.lines.push_back({"052", "052", kLineMissed, "7", "052", "12345"});
    EXPECT_EQ(engine.formatEntry(e, ""), "052期 五星独胆【7】 052-12345→无\r\n");
    EXPECT_EQ(engine.formatEntry(e, "前缀"), "052期 前缀五星独胆【7】 052-12345→无\r\n");

    e.windowLength = 3;
    e.lines = {{"052", "054", kLineOpen, "7", "", ""}};
    EXPECT_EQ(engine.formatEntry(e, ""), "052→054期 五星独胆【7】 等开\r\n");

    e.displayMode = 2;
    e.lines.insert(e.lines.begin(), {"049", "051", kLineHit, "3", "050", "30000"});
    EXPECT_EQ(engine.formatEntry(e, ""),
              "049→051期 五星独胆 050-30000→中\r\n052→054期 五星独胆 等开\r\n\r\n\r\n 7\r\n");
    e.displayMode = 3;
    EXPECT_EQ(engine.formatEntry(e, ""), "049→051期 052→054期 ") << "period parts only";
    e.displayMode = 2;
    e.lines.clear();
    EXPECT_EQ(engine.formatEntry(e, ""), "");
}

TEST_F(PlanEngineTest, PlanTextUsesTheLinePrefix) {
    addScripted(1, 1, "计划");
    feedLive("052", kMiss);
    engine.setLinePrefix("甲");
    EXPECT_EQ(engine.planTextByName("计划"),
              "052期 甲计划【7】 052-00000→无\r\n053期 甲计划【7】 等开\r\n");
    EXPECT_EQ(engine.planText(1), engine.planTextByName("计划"));
    EXPECT_EQ(engine.planTextByName("无此计划"), "");
}

struct WindowScenario {
    const char* label;
    std::int32_t window;
    std::vector<std::pair<const char*, const char*>> draws;  // period, numbers
    const char* text;
};

TEST_F(PlanEngineTest, RowsFollowTheirWindow) {
    const WindowScenario scenarios[] = {
        {"three periods, misses until the window ends",
         3,
         {{"051", kMiss}, {"052", kMiss}, {"053", kMiss}},
         "051→053期 测试【7】 053-00000→无\r\n054→056期 测试【7】 等开\r\n"},
        {"three periods, open after two misses",
         3,
         {{"051", kMiss}, {"052", kMiss}},
         "051→053期 测试【7】 等开\r\n"},
        {"three periods, hit in the middle",
         3,
         {{"051", kMiss}, {"052", kHit}},
         "051→053期 测试【7】 052-10000→中\r\n053→055期 测试【7】 等开\r\n"},
        {"a three-period row wraps after 119",
         3,
         {{"119", kHit}},
         "119→001期 测试【7】 119-10000→中\r\n120→001期 测试【7】 等开\r\n"},
        {"a one-period row after 120 is for 001",
         1,
         {{"120", kHit}},
         "120期 测试【7】 120-10000→中\r\n001期 测试【7】 等开\r\n"},
        {"window 0 rows end at the drawn period",
         0,
         {{"052", kHit}, {"053", kMiss}},
         "052→051期 测试【7】 052-10000→中\r\n053→052期 测试【7】 等开\r\n"},
        {"window 0 row settles when its end period comes again",
         0,
         {{"052", kHit}, {"053", kMiss}, {"052", kMiss}},
         "052→051期 测试【7】 052-10000→中\r\n053→052期 测试【7】 052-00000→无\r\n"
         "053→052期 测试【7】 等开\r\n"},
    };
    for (const WindowScenario& s : scenarios) {
        SCOPED_TRACE(s.label);
        engine.clearAll();
        engine.setResetOnMisses(0);
        addScripted(s.window);
        for (const auto& [period, numbers] : s.draws) feedLive(period, numbers);
        EXPECT_EQ(engine.planText(1), s.text);
    }
}

TEST_F(PlanEngineTest, OpenRowKeepsTheLatestVerifiedDraw) {
    addScripted(3);
    feedLive("051", "01234");
    feedLive("052", "05678");
    const PlanLine& line = entry().lines.back();
    EXPECT_EQ(line.status, kLineOpen);
    EXPECT_EQ(line.verifiedPeriod, "052");
    EXPECT_EQ(line.verifiedNumbers, "05678");
}

struct ResetCase {
    const char* label;
    std::int32_t resetOnMisses;
    std::vector<const char*> outcomes;
    std::int32_t rowsAfter;
};

TEST_F(PlanEngineTest, ResetOnMissesDropsRowsAfterTwoOfThreeMisses) {
    const ResetCase cases[] = {
        {"2,1,1 drops", 1, {kHit, kMiss, kMiss}, 1},
        {"1,2,1 drops", 1, {kMiss, kHit, kMiss}, 1},
        {"2,2,1 keeps", 1, {kHit, kHit, kMiss}, 4},
        {"2,1,1 kept when off", 0, {kHit, kMiss, kMiss}, 4},
    };
    for (const ResetCase& c : cases) {
        SCOPED_TRACE(c.label);
        engine.clearAll();
        engine.setResetOnMisses(c.resetOnMisses);
        addScripted(1);
        std::int32_t period = 51;
        for (const char* numbers : c.outcomes) {
            feedLive("0" + std::to_string(period++), numbers);
        }
        EXPECT_EQ(entry().lineCount(), c.rowsAfter);
        EXPECT_EQ(entry().lines.back().status, kLineOpen);
    }
}

TEST_F(PlanEngineTest, MaxLinesDropsTheOldestRow) {
    engine.setMaxLines(3);
    addScripted(1);
    for (const char* period : {"051", "052", "053", "054", "055"}) feedLive(period, kHit);
    ASSERT_EQ(entry().lineCount(), 3);
    EXPECT_EQ(entry().lines[0].startPeriod, "054");
    EXPECT_EQ(entry().lines[2].startPeriod, "056");
}

TEST_F(PlanEngineTest, FeedDrawRejectsBadNumbersAndZeroSeeds) {
    addScripted(1);
    EXPECT_FALSE(engine.feedDraw("051", "1234", 5, ""));
    EXPECT_FALSE(engine.feedDraw("051", "12345", 5, "1234"));
    EXPECT_FALSE(engine.feedDraw("051", "123456", 5, ""));
    EXPECT_TRUE(engine.feedDraw("051", "12345", 0, "")) << "accepted, but changes nothing";
    EXPECT_EQ(entry().lineCount(), 0);
    EXPECT_TRUE(script->seeds.empty());
    EXPECT_TRUE(engine.feedDraw("051", "12345", 5, ""));
    EXPECT_EQ(entry().lineCount(), 2);
}

TEST_F(PlanEngineTest, LiveSeedAddsPrefixPeriodAndNameSeeds) {
    engine.addPlan(ScriptedPlan(script, "abc"));
    engine.setLinePrefix("abc");
    ASSERT_TRUE(engine.feedDraw("20240101052", kMiss, 2000000000, ""));
    const std::int64_t s = std::int64_t{1878962024} + 52 + 2000000000;
    EXPECT_EQ(script->seeds,
              (std::vector<std::int32_t>{wrapToInt32(s + 0x900150), wrapToInt32(s + 0x900150)}))
        << "the first row and the next one, both live";
}

TEST_F(PlanEngineTest, EntriesByNameAndIndex) {
    addScripted(1, 1, "甲");
    addScripted(1, 1, "乙");
    addScripted(1, 1, "甲");
    EXPECT_EQ(engine.findPlan("甲"), 1);
    EXPECT_EQ(engine.findPlan("丙"), 0);
    EXPECT_EQ(engine.planName(2), "乙");
    EXPECT_EQ(engine.planName(0), "");
    EXPECT_EQ(engine.planName(4), "");

    engine.setWindowLength(5, "甲", true);
    EXPECT_EQ(entry(1).windowLength, 5);
    EXPECT_EQ(entry(3).windowLength, 1) << "only the first of that name";
    engine.setWindowLength(7, "丙", true);
    engine.setDisplayMode(2, "乙", true);
    EXPECT_EQ(entry(2).displayMode, 2);
    engine.setWindowLength(2, "ignored", false);
    for (std::int32_t i = 1; i <= 3; ++i) EXPECT_EQ(entry(i).windowLength, 2);

    engine.removePlan("丙");
    EXPECT_EQ(engine.planCount(), 3);
    engine.removePlan("甲");
    EXPECT_EQ(engine.planCount(), 2);
    EXPECT_EQ(engine.planName(1), "乙");
    EXPECT_EQ(engine.planName(2), "甲");
}

TEST_F(PlanEngineTest, CopiesAreDeepAndBadIndexesChangeNothing) {
    addScripted(1, 1, "甲");
    feedLive("051", kHit);
    PlanEntry copy;
    engine.copyEntryByName("甲", copy);
    ASSERT_EQ(copy.lineCount(), 2);
    ASSERT_NE(copy.plan, nullptr);
    EXPECT_NE(copy.plan.get(), entry().plan.get());
    copy.lines.clear();
    EXPECT_EQ(entry().lineCount(), 2);

    PlanEntry untouched;
    untouched.name = "留";
    for (std::int32_t index : {0, -1, 2}) engine.copyEntry(index, untouched);
    engine.copyEntryByName("无", untouched);
    EXPECT_EQ(untouched.name, "留");

    EXPECT_EQ(engine.latestPrediction(1), "7");
    EXPECT_EQ(engine.latestPredictionByName("甲"), "7");
    EXPECT_EQ(engine.latestPrediction(0), "");
    EXPECT_EQ(engine.latestPrediction(2), "");
    EXPECT_EQ(engine.planText(0), "");
    engine.clearAllLines();
    EXPECT_EQ(engine.latestPrediction(1), "") << "no rows";
    EXPECT_EQ(engine.planCount(), 1);
}

TEST_F(PlanEngineTest, RecentStatusCount) {
    PlanEntry e;
    for (std::int32_t status : {2, 1, 2, 1, 1}) e.lines.push_back({"", "", status, "", "", ""});
    EXPECT_TRUE(engine.recentStatusCount(e, kLineMissed, 2, 2, 1));
    EXPECT_TRUE(engine.recentStatusCount(e, kLineMissed, 3, 2, 0));
    EXPECT_FALSE(engine.recentStatusCount(e, kLineHit, 5, 5, 1));
    EXPECT_FALSE(engine.recentStatusCount(e, kLineHit, 2, 1, 1)) << "a miss ends the walk";
    EXPECT_TRUE(engine.recentStatusCount(e, kLineHit, 3, 1, 0));
    EXPECT_FALSE(engine.recentStatusCount(e, kLineMissed, 9, 6, 0)) << "fewer rows than needed";
}

struct ReplayCase {
    const char* label;
    std::vector<std::int32_t> statuses;  // rows before the new one, oldest first
    std::int32_t target;
    std::set<int> hittingTries;
    int keptTry;  // also the number of tries
};

// With the generator seeded 1 the engine's draw r is 41.
TEST_F(PlanEngineTest, ReplayChoosesAmongTenSeeds) {
    const ReplayCase cases[] = {
        {"wanted hit found on the third try", {}, 100, {3}, 3},
        {"wanted miss: the first miss stays", {}, -1, {1, 2}, 3},
        {"nothing wanted found: the tenth stays", {}, 100, {}, 10},
        {"r 41 within target 41 wants a hit", {}, 41, {1}, 1},
        {"r 41 above target 40 wants a miss", {}, 40, {1}, 2},
        {"two newest missed force a hit", {2, 1, 1}, -1, {2}, 2},
        {"misses not both newest keep the target", {1, 2, 1}, -1, {1}, 2},
        {"five newest hits aim at 0", {2, 2, 2, 2, 2}, 100, {1}, 2},
        {"four hits keep the target", {1, 2, 2, 2, 2}, 100, {1}, 1},
    };
    const DrawDigits next{"1", "2", "3", "4", "5"};
    for (const ReplayCase& c : cases) {
        SCOPED_TRACE(c.label);
        auto replayScript = std::make_shared<PlanScript>();
        replayScript->hittingCalls = c.hittingTries;
        PlanEntry e;
        e.plan = std::make_unique<ScriptedPlan>(replayScript, "abc");
        engine.initEntry(e);
        for (std::int32_t status : c.statuses) e.lines.push_back({"", "", status, "", "", ""});
        engine.setTargetHitPercent(c.target);
        seedRandom(1);

        engine.predictNext(e, "051", 500, next);

        ASSERT_EQ(replayScript->seeds.size(), static_cast<std::size_t>(c.keptTry));
        for (int k = 1; k <= c.keptTry; ++k) {
            EXPECT_EQ(replayScript->seeds[k - 1], 500 + k * 1000 + k) << "try " << k;
        }
        EXPECT_EQ(replayScript->generatorStates[0], 1u * 214013u + 2531011u)
            << "exactly one draw of the generator before the first prediction";
        EXPECT_EQ(replayScript->verifiedDigits.size(), replayScript->seeds.size());
        EXPECT_EQ(replayScript->verifiedDigits[0], "12345") << "judged on the next draw";
        EXPECT_EQ(e.lines.back().prediction, "try" + std::to_string(c.keptTry));
        EXPECT_EQ(e.lines.back().startPeriod, "052");
    }
}

TEST_F(PlanEngineTest, ReplaySeedsWrapAndLivePredictionsDrawNothing) {
    PlanEntry e;
    e.plan = std::make_unique<ScriptedPlan>(script, "abc");
    engine.initEntry(e);
    engine.setTargetHitPercent(100);
    script->hittingCalls = {1};
    engine.predictNext(e, "051", 2147483000, DrawDigits{"1", "2", "3", "4", "5"});
    EXPECT_EQ(script->seeds.back(), -2147483295);

    seedRandom(9);
    engine.predictNext(e, "052", 10, DrawDigits{});
    EXPECT_EQ(script->seeds.back(), 10 + 0x900150) << "live: seed plus nameSeed, once";
    EXPECT_EQ(script->generatorStates.back(), 9u);
    EXPECT_EQ(e.lineCount(), 2);
}

TEST_F(PlanEngineTest, FirstReplayedRowIsChosenAgainstTheNextDraw) {
    script->hittingCalls = {1, 2};
    engine.addPlan(ScriptedPlan(script, "abc"));
    engine.setTargetHitPercent(100);
    ASSERT_TRUE(engine.feedDraw("20240101051", "99999", 7, "12345"));
    EXPECT_EQ(script->verifiedDigits, (std::vector<std::string>{"12345", "99999", "12345"}))
        << "choose the first row, verify it by the drawn digits, choose the next";
    EXPECT_EQ(entry().lines[0].startPeriod, "051");
    EXPECT_EQ(entry().lines[0].status, kLineHit);
}

}  // namespace
}  // namespace sscplan
