#include "plans/plan_board.h"

#include <algorithm>
#include <cmath>

#include "common/text.h"
#include "plans/plan_engine.h"
#include "plans/plan_spec.h"
#include "platform/clock.h"
#include "platform/ports.h"

namespace sscplan {
namespace {

// Draws replayed with their successor known: indexes 49 down to 1.
constexpr std::size_t kReplayedDraws = 49;

// Two decimals, halves away from zero; 0 when there is no line at all.
double hitRate(std::int32_t total, std::int32_t hits) {
    if (total == 0) return 0;
    const double rate = 100.0 / (static_cast<double>(total) / hits);
    return std::round(rate * 100.0) / 100.0;
}

}  // namespace

std::int32_t hitTargetForBets(std::int32_t n) {
    std::int32_t x = n;
    while (x > 100) x /= 10;
    return x + 20;
}

std::string statisticsText(std::int32_t total, std::int32_t hits, std::int32_t misses) {
    return "当前计划统计：总计" + std::to_string(total) + "期，中" + std::to_string(hits) +
           "期，挂" + std::to_string(misses) + "期，中奖率为" + realToText(hitRate(total, hits)) +
           "%\r\n彩票有风险，投注需谨慎！";
}

PlanBoard::PlanBoard(PlanEngine& engine, const DrawHistory& history, const Clock& clock,
                     EventPump& events, std::string planName,
                     std::function<std::int32_t()> formulaPeriods)
    : engine_(engine),
      history_(history),
      clock_(clock),
      events_(events),
      planName_(std::move(planName)),
      formulaPeriods_(std::move(formulaPeriods)) {}

void PlanBoard::attach(PlanBox& box, const std::string& specText) {
    box_ = &box;
    planSpecText_ = specText;
}

void PlanBoard::onNewDraw(const DrawRecord& draw) {
    engine_.feedDraw(enginePeriod(draw), draw.numbers, wrapToInt32(std::int64_t{clock_.uptimeMs()}),
                     "", 0);
    showPlan();
}

void PlanBoard::showPlan() {
    if (box_ == nullptr) return;
    PlanEntry shown;
    engine_.copyEntryByName(planSpecText_, shown);
    const auto hits = static_cast<std::int32_t>(
        std::count_if(shown.lines.begin(), shown.lines.end(),
                      [](const PlanLine& line) { return line.status == kLineHit; }));
    const auto misses = static_cast<std::int32_t>(
        std::count_if(shown.lines.begin(), shown.lines.end(),
                      [](const PlanLine& line) { return line.status == kLineMissed; }));
    box_->setText(engine_.planTextByName(planSpecText_) + "\r\n\r\n" +
                  statisticsText(shown.lineCount(), hits, misses));
    box_->placeCaretAtEnd();
    events_.runPending();
}

void PlanBoard::applyBetCount(std::int32_t n) {
    engine_.removePlan(planSpecText_);
    planSpecText_ = planName_ + std::to_string(n) + "注";
    loadPlanSpecs(engine_, planSpecText_);
    engine_.setWindowLength(1, "", false);
    engine_.setTargetHitPercent(hitTargetForBets(n));
    regenerate(formulaPeriods_ ? formulaPeriods_() : 0);
}

void PlanBoard::regenerate(std::int32_t periods) {
    engine_.clearAllLines();
    engine_.setWindowLength(periods, "", false);
    if (history_.empty()) {
        showPlan();
        return;
    }
    for (std::size_t k = std::min(kReplayedDraws, history_.size() - 1); k >= 1; --k) {
        const DrawRecord& draw = history_[k];
        engine_.feedDraw(enginePeriod(draw), draw.numbers, draw.seedValue, history_[k - 1].numbers,
                         1);
    }
    onNewDraw(history_[0]);
}

}  // namespace sscplan
