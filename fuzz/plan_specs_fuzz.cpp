// A plan text from outside: every plan it registers predicts and verifies, then a few
// draws run through the engine, live and in replay, and every plan is written out.
#include "fuzz/fuzz_support.h"
#include "plans/plan_engine.h"
#include "plans/plan_prototypes.h"
#include "plans/plan_spec.h"
#include "platform/clock.h"

namespace {

using namespace sscplan;

struct Draw {
    const char* period;
    const char* numbers;
    std::int32_t seed;
};

// Oldest first, as the engine is fed; the last one live.
constexpr Draw kDraws[] = {
    {"20190307-021", "13579", 2147483647},
    {"20190307-022", "00001", 7},
    {"20190307-023", "90817", 123456},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FixedClock clock(589, 1781157600);
    PlanPrototypes prototypes;
    PlanEngine engine(clock, prototypes);
    loadPlanSpecs(engine, std::string(fuzz::inputText(data, size)));

    DrawDigits digits;
    PlanEngine::splitDigits("90817", digits);
    for (std::int32_t index = 1; index <= engine.planCount(); ++index) {
        const PlanEntry& entry = *engine.entryAt(index);
        for (std::int32_t seed : {1, 16, 123456, 2147483647}) {
            const std::string prediction = entry.plan->取下期预测(seed);
            entry.plan->验证预测(digits, prediction);
        }
    }

    engine.setTargetHitPercent(70);
    const std::size_t draws = std::size(kDraws);
    for (std::size_t i = 0; i < draws; ++i) {
        const bool live = i + 1 == draws;
        engine.feedDraw(kDraws[i].period, kDraws[i].numbers, kDraws[i].seed,
                        live ? "" : kDraws[i + 1].numbers);
    }
    for (std::int32_t index = 1; index <= engine.planCount(); ++index) {
        engine.planText(index);
        engine.latestPrediction(index);
    }
    return 0;
}
