#pragma once

#include "draws/draw_record.h"
#include "platform/draw_view.h"

namespace sscplan {

// The pair's latest draw becomes the current draw of the main window.
void displayLatestDraw(DrawView& view, const DrawPair& pair);

// One draw as the new top row of the history list (an empty record shows as "-").
void displayHistoryDraw(DrawView& view, const DrawRecord& draw);

}  // namespace sscplan
