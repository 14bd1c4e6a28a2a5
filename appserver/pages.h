#pragma once

#include <array>
#include <string>

#include "draws/draw_record.h"

// The HTML pages the server shows people: the desktop's web panel (259 pixels wide) and
// the fuller history it links to. Self-contained UTF-8 pages: styles and charts inline,
// nothing fetched from elsewhere.

namespace sscplan::appserver {

inline constexpr std::size_t kChartDraws = 100;

// counts[position][digit]: how often `digit` came up at `position` (0 = first) over the
// first kChartDraws draws of `draws`; draws whose numbers are not five digits are skipped.
using DigitCounts = std::array<std::array<int, 10>, 5>;
DigitCounts digitCounts(const DrawHistory& draws);

// `draws` newest first. `historyUrl` is the address of the history page.
std::string panelPage(const DrawHistory& draws, const std::string& historyUrl);

// The draws of one day (or the latest ones when `title` names no day), newest first,
// with links to the other days in `days` (YYYYMMDD texts, newest first).
std::string historyPage(const std::string& title, const DrawHistory& draws,
                        const std::vector<std::string>& days, const std::string& historyUrl);

}  // namespace sscplan::appserver
