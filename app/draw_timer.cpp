#include "app/draw_timer.h"

#include "draws/draw_clock.h"
#include "draws/draw_display.h"
#include "plans/plan_board.h"
#include "platform/draw_view.h"
#include "platform/ports.h"

namespace sscplan {

void DrawTimerHandler::onDrawTimer() {
    if (drawTimerTicks_ < 2) {
        ++drawTimerTicks_;
        return;
    }
    drawTimerTicks_ = 0;

    const std::string countdown = clock_.countdownText();
    if (!countdown.empty()) {
        view_.showDrawTime(countdown);
        return;
    }
    view_.showDrawTime("正在开奖……");
    events_.runPending();
    if (!clock_.refresh(currentDraw_)) return;

    displayLatestDraw(view_, currentDraw_);
    events_.runPending();
    // A copy: the board lets window events run, and a later tick may overwrite the pair.
    const DrawRecord latest = currentDraw_.latest;
    board_.onNewDraw(latest);
    history_.insert(history_.begin(), latest);
    displayHistoryDraw(view_, latest);
}

}  // namespace sscplan
