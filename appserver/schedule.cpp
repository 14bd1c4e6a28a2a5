#include "appserver/schedule.h"

#include <cstdio>
#include <ctime>

namespace sscplan::appserver {
namespace {

using namespace std::chrono;

bool allDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

int digitsValue(std::string_view text) {
    int value = 0;
    for (char c : text) value = value * 10 + (c - '0');
    return value;
}

std::optional<LocalDays> makeDate(int y, int m, int d) {
    const year_month_day ymd{year{y}, month{static_cast<unsigned>(m)},
                             day{static_cast<unsigned>(d)}};
    if (!ymd.ok()) return std::nullopt;
    return LocalDays{ymd};
}

}  // namespace

int periodMinute(int period) {
    if (period <= 23) return 5 * period;
    if (period <= 96) return 600 + 10 * (period - 24);
    return 1320 + 5 * (period - 96);
}

LocalSeconds slotTime(const Slot& slot) {
    return LocalSeconds{slot.date} + minutes{periodMinute(slot.period)};
}

Slot nextSlot(const Slot& slot) {
    if (slot.period >= kPeriodsPerDay) return {slot.date + days{1}, 1};
    return {slot.date, slot.period + 1};
}

Slot previousSlot(const Slot& slot) {
    if (slot.period <= 1) return {slot.date - days{1}, kPeriodsPerDay};
    return {slot.date, slot.period - 1};
}

Slot latestSlotAtOrBefore(LocalSeconds t) {
    const LocalDays today = floor<days>(t);
    // Period 120 of the day before is drawn at today's midnight, so it is the latest one
    // until 00:05.
    Slot latest{today - days{1}, kPeriodsPerDay};
    for (int p = 1; p < kPeriodsPerDay; ++p) {
        const Slot candidate{today, p};
        if (slotTime(candidate) > t) break;
        latest = candidate;
    }
    return latest;
}

Slot firstSlotAfter(LocalSeconds t) { return nextSlot(latestSlotAtOrBefore(t)); }

std::string dateText(LocalDays date) {
    const year_month_day ymd{date};
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02u%02u", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
    return text;
}

std::string periodText(int period) {
    char text[8];
    std::snprintf(text, sizeof text, "%03d", period);
    return text;
}

std::string dateTimeText(LocalSeconds t) {
    const LocalDays date = floor<days>(t);
    const year_month_day ymd{date};
    const hh_mm_ss<seconds> hms{t - LocalSeconds{date}};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<int>(hms.hours().count()), static_cast<int>(hms.minutes().count()),
                  static_cast<int>(hms.seconds().count()));
    return text;
}

std::optional<LocalDays> parseDateText(std::string_view text) {
    if (text.size() != 8 || !allDigits(text)) return std::nullopt;
    return makeDate(digitsValue(text.substr(0, 4)), digitsValue(text.substr(4, 2)),
                    digitsValue(text.substr(6, 2)));
}

std::optional<int> parsePeriodText(std::string_view text) {
    if (text.size() > 3 || !allDigits(text)) return std::nullopt;
    const int period = digitsValue(text);
    if (period < 1 || period > kPeriodsPerDay) return std::nullopt;
    return period;
}

std::optional<LocalSeconds> parseDateTimeText(std::string_view text) {
    // YYYY-MM-DD HH:MM:SS
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    const std::string_view parts[] = {text.substr(0, 4),  text.substr(5, 2),  text.substr(8, 2),
                                      text.substr(11, 2), text.substr(14, 2), text.substr(17, 2)};
    for (std::string_view part : parts) {
        if (!allDigits(part)) return std::nullopt;
    }
    const auto date = makeDate(digitsValue(parts[0]), digitsValue(parts[1]), digitsValue(parts[2]));
    const int h = digitsValue(parts[3]);
    const int m = digitsValue(parts[4]);
    const int s = digitsValue(parts[5]);
    if (!date || h > 23 || m > 59 || s > 59) return std::nullopt;
    return LocalSeconds{*date} + hours{h} + minutes{m} + seconds{s};
}

std::optional<LocalDays> parseDayText(std::string_view text) {
    const std::size_t first = text.find('-');
    const std::size_t second = first == std::string_view::npos ? first : text.find('-', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const std::string_view y = text.substr(0, first);
    const std::string_view m = text.substr(first + 1, second - first - 1);
    const std::string_view d = text.substr(second + 1);
    if (y.size() != 4 || m.empty() || m.size() > 2 || d.empty() || d.size() > 2 || !allDigits(y) ||
        !allDigits(m) || !allDigits(d)) {
        return std::nullopt;
    }
    return makeDate(digitsValue(y), digitsValue(m), digitsValue(d));
}

DrawRecord scheduledRecord(const Slot& slot) {
    DrawRecord record;
    record.date = dateText(slot.date);
    record.periodNo = periodText(slot.period);
    record.drawTime = dateTimeText(slotTime(slot));
    return record;
}

std::optional<Slot> slotOf(const DrawRecord& draw) {
    const auto date = parseDateText(draw.date);
    const auto period = parsePeriodText(draw.periodNo);
    if (!date || !period) return std::nullopt;
    return Slot{*date, *period};
}

LocalSeconds toLocal(std::int64_t unixSeconds) {
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm fields{};
    localtime_r(&t, &fields);
    const auto date = makeDate(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday);
    return LocalSeconds{*date} + hours{fields.tm_hour} + minutes{fields.tm_min} +
           seconds{fields.tm_sec};
}

std::int64_t toUnix(LocalSeconds local) {
    const LocalDays date = floor<days>(local);
    const year_month_day ymd{date};
    const hh_mm_ss<seconds> hms{local - LocalSeconds{date}};
    std::tm fields{};
    fields.tm_year = static_cast<int>(ymd.year()) - 1900;
    fields.tm_mon = static_cast<int>(static_cast<unsigned>(ymd.month())) - 1;
    fields.tm_mday = static_cast<int>(static_cast<unsigned>(ymd.day()));
    fields.tm_hour = static_cast<int>(hms.hours().count());
    fields.tm_min = static_cast<int>(hms.minutes().count());
    fields.tm_sec = static_cast<int>(hms.seconds().count());
    fields.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&fields));
}

}  // namespace sscplan::appserver
