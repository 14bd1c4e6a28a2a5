#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "draws/draw_record.h"

// The classic 120-period draw day, in the server's local time:
//   001-023 every 5 minutes from 00:05 to 01:55,
//   024-096 every 10 minutes from 10:00 to 22:00,
//   097-120 every 5 minutes from 22:05 to 24:00.
// Period 120 belongs to its date but is drawn at 00:00 of the next calendar day.

namespace sscplan::appserver {

using LocalDays = std::chrono::local_days;
using LocalSeconds = std::chrono::local_seconds;

inline constexpr int kPeriodsPerDay = 120;

// One place in the draw sequence: a date and a period number 1 ... 120.
struct Slot {
    LocalDays date;
    int period = 1;

    bool operator==(const Slot&) const = default;
};

// Minutes after the midnight that starts the slot's date, 5 ... 1440. Period outside
// 1 ... 120 is undefined.
int periodMinute(int period);

LocalSeconds slotTime(const Slot& slot);

// After 120 comes 001 of the next date; before 001 comes 120 of the date before.
Slot nextSlot(const Slot& slot);
Slot previousSlot(const Slot& slot);

// The latest slot drawn at or before `t`, and the first one drawn after it.
Slot latestSlotAtOrBefore(LocalSeconds t);
Slot firstSlotAfter(LocalSeconds t);

// Texts of the draw record fields: "20261211", "023", "2026-12-11 01:55:00".
std::string dateText(LocalDays date);
std::string periodText(int period);
std::string dateTimeText(LocalSeconds t);

// Readers of those forms (and of the period as 1 to 3 digits); nullopt unless the text is
// exactly that form and names a real date, a period 1 ... 120 or a real time of day.
std::optional<LocalDays> parseDateText(std::string_view text);
std::optional<int> parsePeriodText(std::string_view text);
std::optional<LocalSeconds> parseDateTimeText(std::string_view text);
// A day written as year-month-day with 1 or 2 digit month and day, e.g. "2019-3-7".
std::optional<LocalDays> parseDayText(std::string_view text);

// The record of a scheduled slot, drawn at its timetable time: numbers and seed empty.
DrawRecord scheduledRecord(const Slot& slot);

// The slot a stored record names; nullopt when its date or period is malformed.
std::optional<Slot> slotOf(const DrawRecord& draw);

// Local wall-clock time of this machine and back, whole seconds.
LocalSeconds toLocal(std::int64_t unixSeconds);
std::int64_t toUnix(LocalSeconds local);

}  // namespace sscplan::appserver
