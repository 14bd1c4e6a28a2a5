#include "draws/draw_display.h"

namespace sscplan {

void displayLatestDraw(DrawView& view, const DrawPair& pair) {
    view.showCurrentDraw(displayPeriod(pair.latest), pair.latest.numbers);
}

void displayHistoryDraw(DrawView& view, const DrawRecord& draw) {
    view.addHistoryRow(displayPeriod(draw), draw.numbers);
}

}  // namespace sscplan
