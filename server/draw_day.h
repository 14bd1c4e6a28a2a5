#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sscplan {

// The day of a date text as year-month-day in decimal without leading zeros
// ("2019-03-07 12:30:00" gives "2019-3-7"). Read forms, blanks around them ignored:
// "YYYY-M-D" and "YYYY/M/D" (month and day of one or two digits), "YYYYMMDD", each
// optionally followed by blanks and a time "H:MM" or "H:MM:SS". nullopt for any other
// text and for a date or time that does not exist (2019-2-29, 24:00).
std::optional<std::string> drawDayText(std::string_view dateText);

}  // namespace sscplan
