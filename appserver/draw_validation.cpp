#include "appserver/draw_validation.h"

#include <chrono>
#include <map>
#include <vector>

#include "appserver/schedule.h"
#include "draws/draws_file.h"

namespace sscplan::appserver {

std::string checkDraw(DrawRecord& draw) {
    const auto date = parseDateText(draw.date);
    if (!date) return "date '" + draw.date + "' is not a date in the form YYYYMMDD";
    const auto period = parsePeriodText(draw.periodNo);
    if (!period) return "period '" + draw.periodNo + "' is not a period number 001 to 120";
    draw.periodNo = periodText(*period);
    const auto time = parseDateTimeText(draw.drawTime);
    if (!time) {
        return "draw time '" + draw.drawTime +
               "' is not a date-time in the form YYYY-MM-DD HH:MM:SS";
    }
    const auto timeDate = std::chrono::floor<std::chrono::days>(*time);
    const bool onItsDate = timeDate == *date ||
                           (*period == kPeriodsPerDay && timeDate == *date + std::chrono::days{1});
    if (!onItsDate) {
        return "draw time " + draw.drawTime + " does not fall on the draw's date " + draw.date;
    }
    bool fiveDigits = draw.numbers.size() == 5;
    for (char c : draw.numbers) fiveDigits = fiveDigits && c >= '0' && c <= '9';
    if (!fiveDigits) return "numbers '" + draw.numbers + "' are not five digits";
    if (draw.seedValue == 0) return "the seed value is not a non-zero integer";
    return {};
}

CheckedDraws checkDrawsText(std::string_view text) {
    CheckedDraws result;
    DrawsFileResult parsed = parseDrawsText(text);
    if (!parsed.ok) {
        result.error = parsed.error;
        return result;
    }
    const std::vector<std::size_t>& lines = parsed.lines;
    std::map<std::string, std::size_t> firstLineOfPeriod;
    for (std::size_t i = 0; i < parsed.draws.size(); ++i) {
        DrawRecord& draw = parsed.draws[i];
        const std::string where = "line " + std::to_string(lines[i]) + ": ";
        const std::string fault = checkDraw(draw);
        if (!fault.empty()) {
            result.error = where + fault;
            return result;
        }
        const auto [seen, fresh] = firstLineOfPeriod.emplace(displayPeriod(draw), lines[i]);
        if (!fresh) {
            result.error = where + "period " + displayPeriod(draw) +
                           " appears again (first on line " + std::to_string(seen->second) + ")";
            return result;
        }
    }
    result.ok = true;
    result.draws = std::move(parsed.draws);
    result.lines = std::move(parsed.lines);
    return result;
}

}  // namespace sscplan::appserver
