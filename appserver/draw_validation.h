#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "draws/draw_record.h"

// Checks of draws an operator records (import, add) before they reach the store.

namespace sscplan::appserver {

// What is wrong with one draw, or the empty text when nothing is: the date is YYYYMMDD,
// the period 001 ... 120, the draw time YYYY-MM-DD HH:MM:SS on the draw's date (period
// 120, drawn at midnight, may fall on the next one), the numbers five digits, the seed
// non-zero. A period given with fewer than three digits is written with three.
std::string checkDraw(DrawRecord& draw);

struct CheckedDraws {
    bool ok = false;
    DrawHistory draws;               // file order, every one checked, no period twice
    std::vector<std::size_t> lines;  // the line each draw came from
    std::string error;               // "line N: what is wrong" when not ok
};

// Reads a draws-file text and checks every draw, naming the line of the first fault.
CheckedDraws checkDrawsText(std::string_view text);

}  // namespace sscplan::appserver
