// One full regeneration of the edition's plan: 49 replayed draws with up to ten candidate
// predictions each, then the newest draw live, and the plan text shown.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "draws/draw_record.h"
#include "plans/plan_board.h"
#include "plans/plan_engine.h"
#include "plans/plan_prototypes.h"
#include "plans/plan_spec.h"
#include "platform/clock.h"
#include "platform/ports.h"

namespace {

class DiscardingPlanBox final : public sscplan::PlanBox {
  public:
    void setText(const std::string& text) override { benchmark::DoNotOptimize(text.data()); }
    void placeCaretAtEnd() override {}
};

// 50 draws of consecutive periods 071 to 120, newest first, with non-zero seeds.
sscplan::DrawHistory syntheticHistory() {
    sscplan::DrawHistory history;
    for (int k = 0; k < 50; ++k) {
        char numbers[8];
        std::snprintf(numbers, sizeof numbers, "%05d", (k * 7919 + 12345) % 100000);
        char period[4];
        std::snprintf(period, sizeof period, "%03d", 120 - k);
        history.push_back({"20240101", period, "", numbers, 100003 + k * 7717});
    }
    return history;
}

void BM_RegenerateEditionPlan(benchmark::State& state) {
    sscplan::FixedClock clock(123456);
    sscplan::PlanPrototypes prototypes;
    sscplan::PlanEngine engine(clock, prototypes);
    const sscplan::DrawHistory history = syntheticHistory();
    sscplan::NoEventPump events;
    DiscardingPlanBox box;
    const std::int32_t formulaPeriods = 3;
    sscplan::PlanBoard board(engine, history, clock, events, "后二单式",
                             [&] { return formulaPeriods; });

    sscplan::loadPlanSpecs(engine, "后二单式25-70注");
    engine.setMaxLines(0);
    engine.setTargetHitPercent(80);
    engine.setResetOnMisses(0);
    board.attach(box, "后二单式25-70注");
    board.applyBetCount(70);

    for (auto _ : state) {
        board.regenerate(formulaPeriods);
    }
}
BENCHMARK(BM_RegenerateEditionPlan)->Unit(benchmark::kMicrosecond);

}  // namespace
