#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "common/text.h"
#include "plan_fakes.h"
#include "plans/code_set_plans.h"
#include "plans/single_position_plans.h"

namespace sscplan {
namespace {

DrawDigits digitsOf(const std::string& numbers) { return splitCharacters(numbers); }

std::unique_ptr<PlanBase> oddEvenAt(std::int32_t position) {
    auto plan = std::make_unique<PositionOddEvenPlan>();
    plan->configure(position, "单双");
    return plan;
}
std::unique_ptr<PlanBase> bigSmallAt(std::int32_t position) {
    auto plan = std::make_unique<PositionBigSmallPlan>();
    plan->configure(position, "大小");
    return plan;
}
std::unique_ptr<PlanBase> codes(std::int32_t position, std::int32_t count) {
    auto plan = std::make_unique<PositionCodesPlan>();
    plan->configure(position, count, "码");
    return plan;
}
std::unique_ptr<PlanBase> groupSix(std::int32_t start, std::int32_t width) {
    auto plan = std::make_unique<GroupSixPlan>();
    plan->configure(start, width, "组六");
    return plan;
}
std::unique_ptr<PlanBase> groupThree(std::int32_t start, std::int32_t width) {
    auto plan = std::make_unique<GroupThreePlan>();
    plan->configure(start, width, "组三");
    return plan;
}
std::unique_ptr<PlanBase> single(std::int32_t start, std::int32_t width, std::int32_t bets) {
    auto plan = std::make_unique<StraightSinglePlan>();
    plan->configure(start, width, bets, "单式");
    return plan;
}
std::unique_ptr<PlanBase> compound(std::int32_t start, const std::string& parts) {
    auto plan = std::make_unique<StraightCompoundPlan>();
    plan->configure(start, parts, "复式");
    return plan;
}

struct SeededCase {
    const char* label;
    std::function<std::unique_ptr<PlanBase>()> make;
    std::int32_t seed;
    const char* prediction;
};

TEST(PlanKinds, SeededPredictions) {
    const SeededCase cases[] = {
        {"five star", [] { return std::make_unique<FiveStarSingleDigitPlan>(); }, 1, "1"},
        {"sum odd/even", [] { return std::make_unique<SumOddEvenPlan>(); }, 1, "双"},
        {"sum big/small", [] { return std::make_unique<SumBigSmallPlan>(); }, 1, "大"},
        {"position odd/even", [] { return oddEvenAt(-1); }, 1, "双"},
        {"position big/small", [] { return bigSmallAt(-1); }, 1, "大"},
        {"any group three", [] { return std::make_unique<AnyGroupThreePlan>(); }, 1, "01245789"},
        {"group six", [] { return groupSix(1, 3); }, 1, "01245789"},
        {"group three", [] { return groupThree(-1, 3); }, 1, "01245789"},
        {"four codes", [] { return codes(-1, 4); }, 1, "0147"},
        {"three codes skip a first 0", [] { return codes(-1, 3); }, 16, "234"},
        {"ten codes", [] { return codes(-1, 10); }, 1, "0123456789"},
        {"no codes", [] { return codes(-1, 0); }, 1, ""},
        {"single bets", [] { return single(-1, 2, 5); }, 1, "00 34 41 67 69 "},
        {"no single bets", [] { return single(-1, 2, 0); }, 1, ""},
        {"compound 5*5", [] { return compound(-1, "5*5"); }, 1, "01479,12458"},
    };
    for (const SeededCase& c : cases) {
        SCOPED_TRACE(c.label);
        auto plan = c.make();
        EXPECT_EQ(plan->取下期预测(c.seed), c.prediction);
        EXPECT_EQ(plan->取下期预测(c.seed), c.prediction) << "same seed, same prediction";
    }
}

TEST(PlanKinds, SingleBetsAreDistinctAscendingAndLeaveNoTrace) {
    auto plan = single(-1, 1, 10);
    EXPECT_EQ(plan->取下期预测(5), "0 1 2 3 4 5 6 7 8 9 ") << "width 1 has no padding";
    auto wide = single(-1, 3, 30);
    const std::string first = wide->取下期预测(1);
    wide->取下期预测(2);
    EXPECT_EQ(wide->取下期预测(1), first);
    const std::vector<std::string> numbers = splitText(first, " ");
    ASSERT_EQ(numbers.size(), 30u);
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        EXPECT_EQ(numbers[i].size(), 3u) << numbers[i];
        if (i > 0) {
            EXPECT_LT(numbers[i - 1], numbers[i]);
        }
    }
}

struct VerifyCase {
    const char* label;
    std::function<std::unique_ptr<PlanBase>()> make;
    const char* numbers;
    const char* prediction;
    bool hit;
};

TEST(PlanKinds, Verification) {
    auto fiveStar = [] { return std::make_unique<FiveStarSingleDigitPlan>(); };
    auto sumOddEven = [] { return std::make_unique<SumOddEvenPlan>(); };
    auto sumBigSmall = [] { return std::make_unique<SumBigSmallPlan>(); };
    auto anyGroupThree = [] { return std::make_unique<AnyGroupThreePlan>(); };
    const VerifyCase cases[] = {
        {"digit twice", fiveStar, "77123", "7", true},
        {"digit absent", fiveStar, "12345", "7", false},
        {"sum 22 small", sumBigSmall, "99400", "小", true},
        {"sum 22 not big", sumBigSmall, "99400", "大", false},
        {"sum 23 big", sumBigSmall, "99500", "大", true},
        {"sum 22 even", sumOddEven, "99400", "双", true},
        {"sum 23 odd", sumOddEven, "99500", "单", true},
        {"sum 0 even", sumOddEven, "00000", "双", true},
        {"sum 0 small", sumBigSmall, "00000", "小", true},
        {"sum 45 odd", sumOddEven, "99999", "单", true},
        {"sum 45 big", sumBigSmall, "99999", "大", true},
        {"outcome word with a blank", sumOddEven, "99999", "单 ", false},
        {"last digit 4 small", [] { return bigSmallAt(-1); }, "00004", "小", true},
        {"last digit 5 big", [] { return bigSmallAt(-1); }, "00005", "大", true},
        {"tens digit 4 even", [] { return oddEvenAt(-2); }, "12345", "双", true},
        {"first digit 1 odd", [] { return oddEvenAt(1); }, "12345", "单", true},
        {"position 0 even", [] { return oddEvenAt(0); }, "11111", "双", true},
        {"position 0 small", [] { return bigSmallAt(0); }, "99999", "小", true},
        {"middle three repeat 4", anyGroupThree, "34049", "01245789", true},
        {"no repeat anywhere", anyGroupThree, "12345", "01245789", false},
        {"group three 0 0 3", [] { return groupThree(-1, 3); }, "11003", "01245789", true},
        {"group three 3 3 0", [] { return groupThree(-1, 3); }, "11330", "01245789", false},
        {"group three 0 3 0", [] { return groupThree(-1, 3); }, "11030", "01245789", true},
        {"group three triple", [] { return groupThree(-1, 3); }, "11777", "01245789", true},
        {"group six 1 2 4", [] { return groupSix(1, 3); }, "12499", "01245789", true},
        {"group six 1 1 2", [] { return groupSix(1, 3); }, "11299", "01245789", false},
        {"group six 1 2 3", [] { return groupSix(1, 3); }, "12399", "01245789", false},
        {"single 03", [] { return single(-1, 2, 3); }, "99903", "03 17 42 ", true},
        {"single 30", [] { return single(-1, 2, 3); }, "99930", "03 17 42 ", false},
        {"single 17", [] { return single(-1, 2, 3); }, "99917", "03 17 42 ", true},
        {"codes at last digit", [] { return codes(-1, 4); }, "00007", "0147", true},
        {"codes miss", [] { return codes(-1, 4); }, "00009", "0147", false},
        {"ten codes always hit", [] { return codes(-1, 10); }, "00009", "0123456789", true},
        {"compound both groups", [] { return compound(-1, "5*5"); }, "00018", "01479,12458", true},
        {"compound second fails", [] { return compound(-1, "5*5"); }, "00013", "01479,12458",
         false},
        {"compound first fails", [] { return compound(-1, "5*5"); }, "00022", "01479,12458", false},
        {"compound other form", [] { return compound(-1, "5*5"); }, "00018", "01479", false},
    };
    for (const VerifyCase& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.make()->验证预测(digitsOf(c.numbers), c.prediction), c.hit);
    }
}

TEST(PlanKinds, PropertiesAndNames) {
    EXPECT_EQ(FiveStarSingleDigitPlan().windowLength(), 3);
    EXPECT_EQ(FiveStarSingleDigitPlan().displayMode(), 1);
    EXPECT_EQ(GroupThreePlan().windowLength(), 4);
    EXPECT_EQ(StraightSinglePlan().displayMode(), 2);
    auto twoParts = compound(-1, "5*5");
    EXPECT_EQ(twoParts->displayMode(), 1);
    auto threeParts = std::make_unique<StraightCompoundPlan>();
    threeParts->configure(-1, "3*3*3", "后三复式3*3*3注");
    EXPECT_EQ(threeParts->width(), 3);
    EXPECT_EQ(threeParts->displayMode(), 2);
    EXPECT_EQ(threeParts->name(), "后三复式3*3*3注");
    EXPECT_EQ(AnyGroupThreePlan().name(), "前中后组三复式");
    EXPECT_EQ(SumBigSmallPlan().name(), "五星和值大小");

    auto clone = threeParts->clone();
    threeParts->configure(1, "1", "other");
    EXPECT_EQ(clone->name(), "后三复式3*3*3注") << "a clone keeps its configuration";
    EXPECT_EQ(clone->displayMode(), 2);
}

TEST(PlanKinds, DigitPositionsAndWindows) {
    const DrawDigits d = digitsOf("12345");
    const std::pair<std::int32_t, const char*> positions[] = {
        {1, "1"}, {5, "5"}, {-1, "5"}, {-5, "1"}, {0, ""}, {6, ""}, {-6, ""}};
    for (const auto& [position, digit] : positions) {
        EXPECT_EQ(digitAt(d, position), digit) << position;
    }
    struct WindowCase {
        std::int32_t start, width;
        const char* window;
    };
    const WindowCase windows[] = {{1, 3, "123"}, {-1, 2, "45"}, {-2, 3, "234"}, {1, 5, "12345"},
                                  {0, 2, ""},    {-1, 0, ""},   {4, 3, "45"},   {-1, 7, "12345"}};
    for (const WindowCase& w : windows) {
        EXPECT_EQ(digitWindow(d, w.start, w.width), w.window) << w.start << "," << w.width;
    }
}

TEST(PlanKinds, UnservableConfigurationsStaySafe) {
    EXPECT_EQ(drawDigitSet(11), "0123456789") << "held at ten digits";
    EXPECT_EQ(drawDigitSet(-3), "");
    auto tooManyBets = single(-1, 1, 11);
    EXPECT_EQ(tooManyBets->取下期预测(1), "0 1 2 3 4 5 6 7 8 9 ");
    EXPECT_EQ(single(-1, 2, -4)->取下期预测(1), "");
    EXPECT_EQ(splitText(single(-1, 5, 40000)->取下期预测(1), " ").size(), 32768u)
        << "no more distinct numbers than the generator yields";
    EXPECT_FALSE(codes(0, 4)->验证预测(digitsOf("12345"), "0147"))
        << "a position that names no digit never hits";
    EXPECT_FALSE(single(0, 2, 3)->验证预测(digitsOf("12345"), "03 17 42 "));
    EXPECT_FALSE(groupSix(0, 3)->验证预测(digitsOf("12345"), "01245789"));
    EXPECT_FALSE(compound(-1, "")->验证预测(digitsOf("12345"), ""));
    EXPECT_FALSE(codes(-1, 4)->验证预测(DrawDigits{}, "0147")) << "a short draw reads nothing";
}

TEST(PlanKinds, PlainInterfaceShowsItsMessages) {
    testing::FakeMessageBoxes messages;
    PlanBase plain;
    EXPECT_EQ(plain.取下期预测(1), "");
    EXPECT_FALSE(plain.验证预测(digitsOf("12345"), ""));
    EXPECT_TRUE(messages.shown.empty());

    plain.setMessageBoxes(&messages);
    auto copy = plain.clone();
    EXPECT_EQ(copy->取下期预测(1), "");
    EXPECT_FALSE(copy->验证预测(digitsOf("12345"), "1"));
    EXPECT_EQ(messages.shown,
              (std::vector<std::string>{"错误！接口类函数 取下期预测（） 被直接调用",
                                        "错误！接口类函数 验证预测 被直接调用"}));
}

}  // namespace
}  // namespace sscplan
