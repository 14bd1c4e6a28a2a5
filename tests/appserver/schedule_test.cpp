#include "appserver/schedule.h"

#include <gtest/gtest.h>

#include "appserver/draw_keeper.h"

namespace sscplan::appserver {
namespace {

using std::chrono::days;

LocalDays day(const char* yyyymmdd) { return *parseDateText(yyyymmdd); }
LocalSeconds at(const char* dateTime) { return *parseDateTimeText(dateTime); }

TEST(Schedule, DrawTimesOfTheDay) {
    struct Row {
        int period;
        const char* drawTime;
    };
    const Row rows[] = {
        {1, "2026-12-11 00:05:00"},   {2, "2026-12-11 00:10:00"},  {23, "2026-12-11 01:55:00"},
        {24, "2026-12-11 10:00:00"},  {25, "2026-12-11 10:10:00"}, {95, "2026-12-11 21:50:00"},
        {96, "2026-12-11 22:00:00"},  {97, "2026-12-11 22:05:00"}, {119, "2026-12-11 23:55:00"},
        {120, "2026-12-12 00:00:00"},
    };
    for (const Row& row : rows) {
        const DrawRecord record = scheduledRecord(Slot{day("20261211"), row.period});
        EXPECT_EQ(record.date, "20261211") << row.period;
        EXPECT_EQ(record.periodNo, periodText(row.period));
        EXPECT_EQ(record.drawTime, row.drawTime) << row.period;
    }
}

TEST(Schedule, PeriodOneHundredTwentyBelongsToTheDayBeforeItsDrawTime) {
    // The last period of the last day of a year is drawn in the new year.
    const DrawRecord record = scheduledRecord(Slot{day("20261231"), 120});
    EXPECT_EQ(record.date, "20261231");
    EXPECT_EQ(record.drawTime, "2027-01-01 00:00:00");
}

TEST(Schedule, NextAndPreviousSlots) {
    struct Row {
        Slot from;
        Slot next;
    };
    const Row rows[] = {
        {{day("20261211"), 1}, {day("20261211"), 2}},
        {{day("20261211"), 23}, {day("20261211"), 24}},
        {{day("20261211"), 119}, {day("20261211"), 120}},
        {{day("20261211"), 120}, {day("20261212"), 1}},
        {{day("20240228"), 120}, {day("20240229"), 1}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(nextSlot(row.from), row.next) << row.from.period;
        EXPECT_EQ(previousSlot(row.next), row.from) << row.next.period;
    }
}

TEST(Schedule, LatestSlotAtOrBeforeAndFirstSlotAfter) {
    struct Row {
        const char* now;
        Slot latest;
        Slot first;
    };
    const Row rows[] = {
        // Midnight is period 120 of the day before; 001 follows at 00:05.
        {"2026-12-12 00:00:00", {day("20261211"), 120}, {day("20261212"), 1}},
        {"2026-12-12 00:04:59", {day("20261211"), 120}, {day("20261212"), 1}},
        {"2026-12-12 00:05:00", {day("20261212"), 1}, {day("20261212"), 2}},
        // The night gap: after 023 at 01:55 comes 024 at 10:00.
        {"2026-12-12 01:55:00", {day("20261212"), 23}, {day("20261212"), 24}},
        {"2026-12-12 09:59:59", {day("20261212"), 23}, {day("20261212"), 24}},
        {"2026-12-12 10:00:00", {day("20261212"), 24}, {day("20261212"), 25}},
        {"2026-12-12 22:04:00", {day("20261212"), 96}, {day("20261212"), 97}},
        {"2026-12-12 23:59:59", {day("20261212"), 119}, {day("20261212"), 120}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(latestSlotAtOrBefore(at(row.now)), row.latest) << row.now;
        EXPECT_EQ(firstSlotAfter(at(row.now)), row.first) << row.now;
    }
}

TEST(Schedule, MissedSlots) {
    const LocalSeconds now = at("2026-12-12 10:12:00");
    // An empty store gets the last 120 scheduled draws, ending with the one due last.
    const auto fresh = missedSlots(std::nullopt, now, kMaxMissedDraws);
    ASSERT_EQ(fresh.size(), 120u);
    EXPECT_EQ(fresh.back(), (Slot{day("20261212"), 25}));
    EXPECT_EQ(fresh.front(), (Slot{day("20261211"), 26}));

    const auto gap = missedSlots(Slot{day("20261212"), 22}, now, kMaxMissedDraws);
    ASSERT_EQ(gap.size(), 3u);
    EXPECT_EQ(gap[0], (Slot{day("20261212"), 23}));
    EXPECT_EQ(gap[2], (Slot{day("20261212"), 25}));

    EXPECT_TRUE(missedSlots(Slot{day("20261212"), 25}, now, kMaxMissedDraws).empty());
    const auto capped = missedSlots(Slot{day("20261201"), 1}, now, 5);
    ASSERT_EQ(capped.size(), 5u) << "a long absence fills only the most recent draws";
    EXPECT_EQ(capped.back(), (Slot{day("20261212"), 25}));
}

TEST(Schedule, ReadsOnlyWellFormedTexts) {
    EXPECT_EQ(parseDateText("20240229"), day("20240229"));
    EXPECT_EQ(parsePeriodText("7"), 7);
    EXPECT_EQ(parsePeriodText("120"), 120);
    EXPECT_EQ(parseDayText("2019-3-7"), day("20190307"));
    EXPECT_EQ(parseDayText("2019-03-07"), day("20190307"));
    for (const char* bad : {"20230229", "2023022", "2023-02-01", "202302011", "2023130 "}) {
        EXPECT_FALSE(parseDateText(bad)) << bad;
    }
    for (const char* bad : {"0", "000", "121", "1a", "", "0001"}) {
        EXPECT_FALSE(parsePeriodText(bad)) << bad;
    }
    for (const char* bad : {"2026-12-11 24:00:00", "2026-12-11 10:00", "2026-13-11 10:00:00",
                            "2026-12-11T10:00:00"}) {
        EXPECT_FALSE(parseDateTimeText(bad)) << bad;
    }
    for (const char* bad : {"2019-3", "2019-3-", "19-3-7", "2019-003-7", "2019-2-30"}) {
        EXPECT_FALSE(parseDayText(bad)) << bad;
    }
}

TEST(Schedule, LocalTimeRoundTrip) {
    const std::int64_t unix = 1781157600;
    EXPECT_EQ(toUnix(toLocal(unix)), unix);
}

}  // namespace
}  // namespace sscplan::appserver
