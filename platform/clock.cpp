#include "platform/clock.h"

#include <chrono>
#include <ctime>

namespace sscplan {

std::uint32_t SystemClock::uptimeMs() const {
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                    static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

std::int64_t SystemClock::unixSeconds() const {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return ts.tv_sec;
}

std::optional<std::int64_t> localToUnixSeconds(int year, int month, int day, int hour,
                                               int minute, int second) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 60) {
        return std::nullopt;
    }
    // A day the month does not have (the 31st of February) is refused rather than
    // carried over into the next month, as mktime would.
    const std::chrono::year_month_day date{std::chrono::year{year},
                                           std::chrono::month{static_cast<unsigned>(month)},
                                           std::chrono::day{static_cast<unsigned>(day)}};
    if (!date.ok()) return std::nullopt;
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1) && !(tm.tm_year == 69 && tm.tm_mday == 31)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(t);
}

}  // namespace sscplan
