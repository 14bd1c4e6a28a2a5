#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "plans/plan_engine.h"
#include "plans/plan_prototypes.h"
#include "plans/plan_spec.h"
#include "platform/clock.h"

namespace sscplan {
namespace {

// The kind and configuration of a registered plan, as one comparable text.
std::string describe(const PlanBase& plan) {
    auto number = [](std::int32_t v) { return std::to_string(v); };
    if (auto p = dynamic_cast<const PositionOddEvenPlan*>(&plan)) {
        return "单双 " + number(p->position());
    }
    if (auto p = dynamic_cast<const PositionBigSmallPlan*>(&plan)) {
        return "大小 " + number(p->position());
    }
    if (auto p = dynamic_cast<const PositionCodesPlan*>(&plan)) {
        return "码 " + number(p->position()) + " " + number(p->codeCount());
    }
    if (auto p = dynamic_cast<const GroupSixPlan*>(&plan)) {
        return "组六 " + number(p->start()) + " " + number(p->width());
    }
    if (auto p = dynamic_cast<const GroupThreePlan*>(&plan)) {
        return "组三 " + number(p->start()) + " " + number(p->width());
    }
    if (auto p = dynamic_cast<const StraightSinglePlan*>(&plan)) {
        return "单式 " + number(p->start()) + " " + number(p->width()) + " " +
               number(p->betCount());
    }
    if (auto p = dynamic_cast<const StraightCompoundPlan*>(&plan)) {
        std::string parts;
        for (std::int32_t count : p->partCounts()) parts += " " + number(count);
        return "复式 " + number(p->start()) + parts;
    }
    return plan.name();
}

class PlanSpecTest : public ::testing::Test {
  protected:
    FixedClock clock{1000};
    PlanPrototypes prototypes;
    PlanEngine engine{clock, prototypes};
};

struct Reading {
    const char* item;
    const char* registered;  // describe() of the plan; empty when nothing is registered
};

TEST_F(PlanSpecTest, ReadsItems) {
    const Reading readings[] = {
        {"后二单式25-70注", "单式 -1 2 25"},
        {"五星独胆", "五星独胆"},
        {"前中后组三复式", "前中后组三复式"},
        {"五星和值单双", "五星和值单双"},
        {"五星和值大小", "五星和值大小"},
        {"后一单双", "单双 -1"},
        {"后一大小", "大小 -1"},
        {"前一大小", "大小 1"},
        {"后二单双", "单双 -2"},
        {"前二大小", "大小 2"},
        {"后一四码", "码 -1 4"},
        {"后一十码", "码 -1 10"},
        {"五星三码", "码 5 3"},
        {"前三组六复式", "组六 1 3"},
        {"中三组六复式", "组六 -2 3"},
        {"中三组三复式", "组三 -2 3"},
        {"后二复式5*5注", "复式 -1 5 5"},
        {"后三复式3*3*3注", "复式 -1 3 3 3"},
        {"中四复式1*1*1*1注", "复式 -2 1 1 1 1"},
        {"五星单双", "单双 5"},
        {"中一单双", "单双 -2"},
        {"后零单双", "单双 0"},
        {"后二单双前", "单双 2"},
        {"后一单双大小", "单双 -1"},
        {"后二单式注", "单式 -1 2 0"},
        {"后一单式10注", "单式 -1 1 10"},
        {"后五单式32768注", "单式 -1 5 32768"},
        {"后二单式８注", "单式 -1 2 8"},
        // Nothing registered: unreadable items.
        {"", ""},
        {"后二单式", ""},
        {"后二复式5*5", ""},
        {"后X单双", ""},
        {"五星独胆计划", ""},
        {"后一", ""},
        {"随便写写", ""},
        {"后", ""},
        {"\xff\xfe单双", ""},
        // Nothing registered: configurations no kind can serve.
        {"前六单双", ""},
        {"后八大小", ""},
        {"后零四码", ""},
        {"前六组六复式", ""},
        {"前零组三复式", ""},
        {"后六单式5注", ""},
        {"后一单式11注", ""},
        {"后五单式40000注", ""},
        {"后二单式-5注", ""},
        {"后二复式注", ""},
        {"后二复式11*5注", ""},
        {"后二复式5*-1注", ""},
        {"中五复式1*1*1*1*1注", ""},
    };
    for (const Reading& r : readings) {
        SCOPED_TRACE(r.item);
        engine.clearAll();
        loadPlanSpecs(engine, r.item);
        if (*r.registered == '\0') {
            EXPECT_EQ(engine.planCount(), 0);
            continue;
        }
        ASSERT_EQ(engine.planCount(), 1);
        EXPECT_EQ(describe(*engine.entryAt(1)->plan), r.registered);
        const bool fixedName = describe(*engine.entryAt(1)->plan) == engine.planName(1);
        if (!fixedName) {
            EXPECT_EQ(engine.planName(1), r.item) << "named by its own item";
        }
    }
}

TEST_F(PlanSpecTest, SplitsAtBlanksAndLineBreaks) {
    loadPlanSpecs(engine, "后一单双\r\n后一大小");
    ASSERT_EQ(engine.planCount(), 2);
    EXPECT_EQ(engine.planName(1), "后一单双");
    EXPECT_EQ(engine.planName(2), "后一大小");

    engine.clearAll();
    loadPlanSpecs(engine, "后一单双 后一大小  后一四码 后一五码 后一六码 ");
    EXPECT_EQ(engine.planCount(), 5);
    EXPECT_EQ(engine.planName(5), "后一六码");

    engine.clearAll();
    loadPlanSpecs(engine, "五星独胆 ");
    EXPECT_EQ(engine.planName(1), "五星独胆");
}

TEST_F(PlanSpecTest, RegistersUnderTheGivenNameAndWindow) {
    engine.parsePlanSpec("后一单双", "我的计划", 2);
    engine.parsePlanSpec("五星独胆", "不用", 2);
    engine.parsePlanSpec("后二单式25-70注", "后二单式25-70注", 0);
    ASSERT_EQ(engine.planCount(), 3);
    EXPECT_EQ(engine.planName(1), "我的计划");
    EXPECT_EQ(engine.entryAt(1)->windowLength, 2);
    EXPECT_EQ(engine.planName(2), "五星独胆") << "fixed kinds keep their own name";
    EXPECT_EQ(engine.entryAt(2)->windowLength, 3) << "and their own window";
    EXPECT_EQ(engine.entryAt(3)->windowLength, 3);
    EXPECT_EQ(engine.entryAt(3)->displayMode, 2);
}

TEST_F(PlanSpecTest, RegisteredPlansKeepTheirConfiguration) {
    loadPlanSpecs(engine, "后二单式25-70注 后二单式注");
    ASSERT_EQ(engine.planCount(), 2);
    EXPECT_EQ(describe(*engine.entryAt(1)->plan), "单式 -1 2 25");
    const std::string bets = engine.entryAt(1)->plan->取下期预测(1);
    EXPECT_EQ(splitText(bets, " ").size(), 25u);
    EXPECT_EQ(engine.entryAt(2)->plan->取下期预测(1), "") << "bet count 0";
}

TEST(Numerals, Values) {
    const char* numerals[] = {"零", "一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};
    for (std::int32_t value = 0; value <= 10; ++value) {
        EXPECT_EQ(numeralValue(numerals[value]), value);
    }
    for (const char* other : {"", "X", "百", "1", "两"}) EXPECT_EQ(numeralValue(other), -1);
}

// Every combination of the grammar's words registers at most one plan, and every plan it
// registers predicts and verifies without hanging.
TEST_F(PlanSpecTest, EveryCombinationIsSafe) {
    const char* positions[] = {"前", "中", "后", "五星", "", "X"};
    const char* numerals[] = {"零", "一", "二", "三", "四", "五", "六", "十", "X"};
    const char* kinds[] = {"单双", "大小", "四码", "十码", "组六复式", "组三复式", "单式", "复式"};
    const char* tails[] = {"", "注", "5注", "99999注", "5*5注", "11*1注", "*注", "-3注"};
    const DrawDigits digits{"1", "2", "3", "4", "5"};
    for (const char* position : positions) {
        for (const char* numeral : numerals) {
            for (const char* kind : kinds) {
                for (const char* tail : tails) {
                    const std::string item = std::string(position) + numeral + kind + tail;
                    engine.clearAll();
                    loadPlanSpecs(engine, item);
                    ASSERT_LE(engine.planCount(), 1) << item;
                    if (engine.planCount() == 1) {
                        PlanBase& plan = *engine.entryAt(1)->plan;
                        plan.验证预测(digits, plan.取下期预测(1));
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace sscplan
