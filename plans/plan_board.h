#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "draws/draw_record.h"

namespace sscplan {

class Clock;
class EventPump;
class PlanBox;
class PlanEngine;

// Connects the plan engine with the plan text box: shows one plan (the entry named
// planSpecText) with its statistics line, feeds new draws, rebuilds every plan from the
// draw history and re-registers the shown plan when the bet count changes.
class PlanBoard {
  public:
    // planName: the edition's plan name before the bet count ("后二单式"); formulaPeriods
    // reads the current formula period count. Every reference must outlive the board.
    PlanBoard(PlanEngine& engine, const DrawHistory& history, const Clock& clock, EventPump& events,
              std::string planName, std::function<std::int32_t()> formulaPeriods);

    // Output goes to `box` from now on; specText names the shown plan.
    void attach(PlanBox& box, const std::string& specText);
    // Feeds the draw live (uptime as the seed) and shows the plan.
    void onNewDraw(const DrawRecord& draw);
    // Rewrites the box from the engine: plan text, a blank line, the statistics. Nothing
    // is written before attach.
    void showPlan();
    // Re-registers the shown plan as planName + n + "注", aims replay at a hit target
    // derived from n, and regenerates with the current formula period count.
    void applyBetCount(std::int32_t n);
    // Every plan loses its rows and gets window length `periods`; the older draws (at most
    // 49, oldest first) are replayed with their successors, then the newest is fed live.
    void regenerate(std::int32_t periods);

    const std::string& planSpecText() const { return planSpecText_; }

  private:
    PlanEngine& engine_;
    const DrawHistory& history_;
    const Clock& clock_;
    EventPump& events_;
    std::string planName_;
    std::function<std::int32_t()> formulaPeriods_;
    PlanBox* box_ = nullptr;
    std::string planSpecText_;
};

// The hit target for n bets: n divided by 10 (truncated) until it is at most 100, plus 20.
std::int32_t hitTargetForBets(std::int32_t n);

// "当前计划统计：总计…期，中…期，挂…期，中奖率为…%\r\n彩票有风险，投注需谨慎！".
std::string statisticsText(std::int32_t total, std::int32_t hits, std::int32_t misses);

}  // namespace sscplan
