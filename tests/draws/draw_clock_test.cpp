#include "draws/draw_clock.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "server/cloud_client.h"

namespace sscplan {
namespace {

class NoTransport final : public HttpTransport {
  public:
    std::string post(const std::string&, const std::string&) override { return {}; }
    std::string get(const std::string&) override { return {}; }
    std::string plainGet(const std::string&) override { return {}; }
};

// A client whose two draw-clock queries answer what the test says and count the calls.
class ScriptedClient final : public CloudClient {
  public:
    ScriptedClient(HttpTransport& transport, const Clock& clock, EventPump& events)
        : CloudClient(transport, clock, events) {}

    std::string latestPeriod() override {
        ++latestPeriodCalls;
        if (duringLatestPeriod) duringLatestPeriod();
        return latestPeriodText;
    }
    bool newestDraw(std::vector<std::string>& out) override {
        ++newestDrawCalls;
        if (duringNewestDraw) duringNewestDraw();
        if (!newestDrawAnswers) return false;
        out = newestDrawTexts;
        return !out.empty();
    }

    std::string latestPeriodText;
    std::vector<std::string> newestDrawTexts;
    bool newestDrawAnswers = true;
    std::function<void()> duringLatestPeriod;
    std::function<void()> duringNewestDraw;
    int latestPeriodCalls = 0;
    int newestDrawCalls = 0;
};

std::vector<std::string> newestTexts(const std::string& periodNo, const std::string& nextPeriodNo,
                                     const std::string& nextDrawTime) {
    return {"20261211", periodNo,   "2026-12-11 10:00:00", "12345",
            "777",      "20261211", nextPeriodNo,          nextDrawTime};
}

constexpr std::int64_t kStart = 1'800'000'000;

class DrawClockTest : public ::testing::Test {
  protected:
    NoTransport transport;
    FixedClock clock{0, kStart};
    NoEventPump events;
    ScriptedClient client{transport, clock, events};
    DrawClock drawClock{client, clock};

    // Publishes draw 050 with the next one due `secondsAhead` from now.
    void publishFirst(std::int64_t secondsAhead) {
        client.latestPeriodText = "20261211050";
        client.newestDrawTexts = newestTexts("050", "051", "");
        const auto next = kStart + secondsAhead;
        drawTimeOf(next);
        DrawPair pair;
        ASSERT_TRUE(drawClock.refresh(pair));
    }
    void drawTimeOf(std::int64_t unixSeconds) {
        std::time_t t = static_cast<std::time_t>(unixSeconds);
        std::tm local{};
        localtime_r(&t, &local);
        char text[32];
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
        client.newestDrawTexts[7] = text;
    }
};

TEST(FormatRemaining, MinutesAndSecondsWithFullWidthColon) {
    struct Row {
        std::int32_t seconds;
        const char* text;
    };
    const Row rows[] = {{-1, ""},          {-6000, ""},        {0, "00：00"},  {9, "00：09"},
                        {59, "00：59"},    {60, "01：00"},     {65, "01：05"}, {5999, "99：59"},
                        {6000, "100：00"}, {61234, "1020：34"}};
    for (const Row& row : rows) {
        EXPECT_EQ(DrawClock::formatRemaining(row.seconds), row.text) << row.seconds;
    }
}

TEST(ReadDrawTime, LocalDateTimeWithDashesOrSlashes) {
    const auto expected = localToUnixSeconds(2026, 12, 11, 10, 5, 30);
    ASSERT_TRUE(expected.has_value());
    EXPECT_EQ(readDrawTime("2026-12-11 10:05:30"), *expected);
    EXPECT_EQ(readDrawTime("2026/12/11 10:05:30"), *expected);
    EXPECT_EQ(readDrawTime("2020-02-29 00:00:00"), localToUnixSeconds(2020, 2, 29, 0, 0, 0));
}

TEST(ReadDrawTime, AnythingElseIsTheEarliestDateTime) {
    for (const char* text :
         {"", "2026-12-11", "2026-12-11T10:05:30", "2026-12/11 10:05:30", "2026-13-11 10:05:30",
          "2026-12-11 24:00:00", "2026-12-11 10:05:30 ", "abcd-ef-gh ij:kl:mn", "1.5",
          // Days the month lacks are not carried into the next month.
          "2019-02-31 00:00:00", "2019-02-29 12:00:00", "2026-04-31 10:00:00"}) {
        EXPECT_EQ(readDrawTime(text), kEarliestDrawTime) << text;
    }
}

TEST_F(DrawClockTest, FirstRefreshPollsAndPublishes) {
    client.latestPeriodText = "20261211050";
    client.newestDrawTexts = newestTexts("050", "051", "");
    drawTimeOf(kStart + 65);
    DrawPair pair;
    EXPECT_TRUE(drawClock.refresh(pair));
    EXPECT_EQ(pair.latest.periodNo, "050");
    EXPECT_EQ(pair.latest.numbers, "12345");
    EXPECT_EQ(pair.latest.seedValue, 777);
    EXPECT_EQ(pair.next.periodNo, "051");
    EXPECT_EQ(drawClock.published(), pair);
    EXPECT_EQ(drawClock.nextDrawTime(), kStart + 65);
    EXPECT_EQ(drawClock.countdownText(), "01：05");
    EXPECT_FALSE(drawClock.pollBusy());
    EXPECT_EQ(drawClock.lastPollTime(), kStart);
}

TEST_F(DrawClockTest, NoPollBeforeSixSecondsNorBeforeTheDrawIsDue) {
    publishFirst(30);
    DrawPair pair;
    clock.setUnixSeconds(kStart + 5);
    EXPECT_FALSE(drawClock.refresh(pair));
    clock.setUnixSeconds(kStart + 29);
    EXPECT_FALSE(drawClock.refresh(pair));
    EXPECT_EQ(client.latestPeriodCalls, 1);
    // Due at the announced second itself; 0 left shows 00：00.
    clock.setUnixSeconds(kStart + 30);
    EXPECT_EQ(drawClock.countdownText(), "00：00");
    client.latestPeriodText = "20261211050";
    EXPECT_FALSE(drawClock.refresh(pair));
    EXPECT_EQ(client.latestPeriodCalls, 2);
    clock.setUnixSeconds(kStart + 31);
    EXPECT_EQ(drawClock.countdownText(), "");
}

TEST_F(DrawClockTest, SamePeriodOnTheServerMakesNoNewestDrawQuery) {
    publishFirst(0);
    clock.setUnixSeconds(kStart + 6);
    client.latestPeriodText = "20261211050";
    DrawPair pair;
    EXPECT_FALSE(drawClock.refresh(pair));
    EXPECT_EQ(client.newestDrawCalls, 1);
    EXPECT_EQ(drawClock.lastPollTime(), kStart + 6);
}

TEST_F(DrawClockTest, NewPeriodIsPublished) {
    publishFirst(0);
    clock.setUnixSeconds(kStart + 7);
    client.latestPeriodText = "20261211051";
    client.newestDrawTexts = newestTexts("051", "052", "2026/12/11 10:20:00");
    // The fetch takes time: the poll time afterwards is when it ended.
    client.duringNewestDraw = [&] { clock.setUnixSeconds(kStart + 9); };
    DrawPair pair;
    EXPECT_TRUE(drawClock.refresh(pair));
    EXPECT_EQ(drawClock.published().latest.periodNo, "051");
    EXPECT_EQ(drawClock.nextDrawTime(), readDrawTime("2026-12-11 10:20:00"));
    EXPECT_EQ(drawClock.lastPollTime(), kStart + 9);
}

TEST_F(DrawClockTest, SamePeriodInTheNewestDrawIsNotNewButOverwritesThePair) {
    publishFirst(0);
    clock.setUnixSeconds(kStart + 6);
    client.latestPeriodText = "20261211051\n";  // a trailing line break never equals
    client.newestDrawTexts = newestTexts("050", "051", "");
    client.newestDrawTexts[3] = "99999";
    DrawPair pair;
    EXPECT_FALSE(drawClock.refresh(pair));
    EXPECT_EQ(client.newestDrawCalls, 2);
    EXPECT_EQ(pair.latest.numbers, "99999");
    EXPECT_EQ(drawClock.published().latest.numbers, "12345");
}

TEST_F(DrawClockTest, NewestDrawWithOtherThanEightTextsIsIgnored) {
    for (std::size_t count : {7u, 9u}) {
        client.latestPeriodText = "20261211050";
        client.newestDrawTexts = newestTexts("050", "051", "");
        client.newestDrawTexts.resize(count, "x");
        DrawPair pair;
        pair.latest.periodNo = "untouched";
        clock.setUnixSeconds(clock.unixSeconds() + 6);
        EXPECT_FALSE(drawClock.refresh(pair)) << count;
        EXPECT_EQ(pair.latest.periodNo, "untouched");
        EXPECT_FALSE(drawClock.pollBusy());
    }
    EXPECT_EQ(drawClock.published(), DrawPair{});
}

TEST_F(DrawClockTest, EmptyLatestPeriodSkipsTheQueryOnlyBeforeTheFirstPublication) {
    client.latestPeriodText = "";
    client.newestDrawTexts = newestTexts("050", "051", "");
    DrawPair pair;
    EXPECT_FALSE(drawClock.refresh(pair));
    EXPECT_EQ(client.newestDrawCalls, 0);

    clock.setUnixSeconds(kStart + 6);
    publishFirst(-100);
    clock.setUnixSeconds(kStart + 12);
    client.latestPeriodText = "";
    EXPECT_FALSE(drawClock.refresh(pair));
    EXPECT_EQ(client.newestDrawCalls, 2);
}

TEST_F(DrawClockTest, NestedRefreshDuringAPollReturnsAtOnce) {
    client.latestPeriodText = "20261211050";
    client.newestDrawTexts = newestTexts("050", "051", "");
    bool nestedResult = true;
    client.duringLatestPeriod = [&] {
        DrawPair nested;
        EXPECT_TRUE(drawClock.pollBusy());
        nestedResult = drawClock.refresh(nested);
    };
    DrawPair pair;
    EXPECT_TRUE(drawClock.refresh(pair));
    EXPECT_FALSE(nestedResult);
    EXPECT_EQ(client.latestPeriodCalls, 1);
    EXPECT_FALSE(drawClock.pollBusy());
}

TEST_F(DrawClockTest, FailedNewestDrawClearsTheBusyFlag) {
    client.latestPeriodText = "20261211050";
    client.newestDrawAnswers = false;
    DrawPair pair;
    EXPECT_FALSE(drawClock.refresh(pair));
    EXPECT_FALSE(drawClock.pollBusy());
    EXPECT_EQ(drawClock.lastPollTime(), kStart);
}

TEST_F(DrawClockTest, UnreadableDrawTimeKeepsPollingAndShowsNoCountdown) {
    client.latestPeriodText = "20261211050";
    client.newestDrawTexts = newestTexts("050", "051", "morgen");
    DrawPair pair;
    ASSERT_TRUE(drawClock.refresh(pair));
    EXPECT_EQ(drawClock.nextDrawTime(), kEarliestDrawTime);
    // Far in the past, and not wrapped into a countdown by 32-bit truncation.
    EXPECT_EQ(drawClock.countdownText(), "");
    clock.setUnixSeconds(kStart + 6);
    client.latestPeriodText = "20261211051";
    client.newestDrawTexts = newestTexts("051", "052", "morgen");
    EXPECT_TRUE(drawClock.refresh(pair));
    EXPECT_EQ(client.latestPeriodCalls, 2);
}

TEST_F(DrawClockTest, DrawTimeLongPastGivesNoCountdown) {
    // About 4e9 seconds before the clock's now: truncating the difference to 32 bits by
    // wrapping would turn it into a countdown of days.
    client.latestPeriodText = "20261211050";
    client.newestDrawTexts = newestTexts("050", "051", "1900-01-01 00:00:00");
    DrawPair pair;
    ASSERT_TRUE(drawClock.refresh(pair));
    ASSERT_LT(drawClock.nextDrawTime() - kStart, -(std::int64_t{1} << 31));
    EXPECT_EQ(drawClock.countdownText(), "");
}

TEST_F(DrawClockTest, SamePeriodNumberOfTheNextDayIsNotNew) {
    publishFirst(0);
    clock.setUnixSeconds(kStart + 6);
    client.latestPeriodText = "20261212050";
    client.newestDrawTexts = newestTexts("050", "051", "");
    client.newestDrawTexts[0] = "20261212";
    DrawPair pair;
    EXPECT_FALSE(drawClock.refresh(pair));
    EXPECT_EQ(client.newestDrawCalls, 1);
}

}  // namespace
}  // namespace sscplan
