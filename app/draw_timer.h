#pragma once

#include "draws/draw_record.h"

namespace sscplan {

class DrawClock;
class DrawView;
class EventPump;
class PlanBoard;

// The body of the countdown timer "时钟_剩余开奖时间" (ticking every 100 ms): on every
// third tick it shows the countdown or, once the draw is due, polls for the new draw and
// hands it to the window, the plan board and the history.
class DrawTimerHandler {
  public:
    DrawTimerHandler(DrawClock& clock, DrawView& view, EventPump& events, PlanBoard& board,
                     DrawPair& currentDraw, DrawHistory& history)
        : clock_(clock),
          view_(view),
          events_(events),
          board_(board),
          currentDraw_(currentDraw),
          history_(history) {}

    void onDrawTimer();

  private:
    DrawClock& clock_;
    DrawView& view_;
    EventPump& events_;
    PlanBoard& board_;
    DrawPair& currentDraw_;
    DrawHistory& history_;
    int drawTimerTicks_ = 0;
};

}  // namespace sscplan
