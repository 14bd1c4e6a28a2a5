#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "common/random.h"
#include "common/text.h"
#include "plans/plan_board.h"
#include "tests/tools/cli_run.h"

namespace sscplan::cli {
namespace {

const std::string kDraws50 = testData("draws50.txt");
constexpr const char* kWarningLine = "彩票有风险，投注需谨慎！";

CliRun board(std::vector<std::string> options) {
    options.insert(options.begin(), "board");
    return runSscplan(options);
}

// The plan box text cut into its parts: rows, the closing block of a results-only plan,
// and the statistics.
struct BoardText {
    std::vector<std::string> rows;  // without their "\r\n"
    std::string latestPrediction;   // results-only plans: the block after the rows
    std::string statistics;         // "当前计划统计：…" up to the end
};

BoardText splitBoardText(const std::string& text) {
    BoardText parts;
    const std::size_t stats = text.rfind("\r\n\r\n当前计划统计：");
    EXPECT_NE(stats, std::string::npos) << text;
    if (stats == std::string::npos) return parts;
    parts.statistics = text.substr(stats + 4);
    std::string plan = text.substr(0, stats);
    const std::size_t block = plan.find("\r\n\r\n\r\n ");
    if (block != std::string::npos) {
        parts.latestPrediction = plan.substr(block + 7);
        EXPECT_TRUE(parts.latestPrediction.ends_with("\r\n")) << parts.latestPrediction;
        parts.latestPrediction.resize(parts.latestPrediction.size() - 2);
        plan = plan.substr(0, block + 2);
    }
    for (std::size_t p = 0; p < plan.size();) {
        const std::size_t end = plan.find("\r\n", p);
        EXPECT_NE(end, std::string::npos) << "every row ends with CRLF";
        if (end == std::string::npos) break;
        parts.rows.push_back(plan.substr(p, end - p));
        p = end + 2;
    }
    return parts;
}

std::size_t countNumbers(const std::string& prediction) {
    return splitText(prediction, " ").size();
}

TEST(BoardCommand, PrintsTheEditionsPlanWithItsStatisticsLast) {
    const CliRun run = board({"--draws", kDraws50, "--uptime-ms", "123456"});
    ASSERT_EQ(run.status, kOk) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(run.out.ends_with(std::string("%\r\n") + kWarningLine)) << run.out;

    const BoardText parts = splitBoardText(run.out);
    ASSERT_GE(parts.rows.size(), 2u);
    std::int32_t hits = 0;
    std::int32_t misses = 0;
    for (std::size_t i = 0; i < parts.rows.size(); ++i) {
        const std::string& row = parts.rows[i];
        // Three formula periods: "NNN→NNN期 后二单式47注 RESULT" with the default bet count.
        EXPECT_EQ(row.find("期 后二单式47注 "), 9u) << row;
        EXPECT_EQ(row.substr(3, 3), "→") << row;
        const bool open = row.ends_with("等开");
        EXPECT_EQ(open, i + 1 == parts.rows.size()) << "only the newest row is open: " << row;
        hits += row.ends_with("→中");
        misses += row.ends_with("→无");
    }
    // The newest draw is 029; the open row covers the coming period 030.
    const std::int32_t openStart = textToInt(parts.rows.back().substr(0, 3));
    EXPECT_TRUE(openStart >= 28 && openStart <= 30) << parts.rows.back();
    EXPECT_EQ(textToInt(parts.rows.back().substr(6, 3)), openStart + 2) << parts.rows.back();
    EXPECT_EQ(countNumbers(parts.latestPrediction), 47u) << parts.latestPrediction;
    EXPECT_EQ(parts.statistics,
              statisticsText(static_cast<std::int32_t>(parts.rows.size()), hits, misses));
}

TEST(BoardCommand, IsReproducibleForOneUptimeAndUsesIt) {
    // 五星独胆 is regenerated once, so its first replayed row draws its hit target from the
    // generator as the run found it; the bet-count rebuild of the edition's plan starts
    // from the state the first regeneration left.
    for (const char* spec : {"五星独胆", "后二单式25-70注"}) {
        const CliRun first = board({"--draws", kDraws50, "--spec", spec, "--uptime-ms", "5000"});
        ASSERT_EQ(first.status, kOk) << first.err;
        // A generator left elsewhere must not leak into the next run.
        for (const std::int32_t seed : {2, 3, 987654}) {
            seedRandom(seed);
            EXPECT_EQ(board({"--draws", kDraws50, "--spec", spec, "--uptime-ms=5000"}).out,
                      first.out)
                << spec << " after seed " << seed;
        }
        EXPECT_NE(board({"--draws", kDraws50, "--spec", spec, "--uptime-ms", "5001"}).out,
                  first.out)
            << spec << ": the uptime seeds the replay and the live draw";
    }
}

TEST(BoardCommand, HoldsTheBetCountWithinTheRange) {
    struct Case {
        const char* bets;  // nullptr: not given
        std::size_t shown;
    };
    const Case cases[] = {{nullptr, 47}, {"100", 70}, {"70", 70}, {"71", 70},
                          {"25", 25},    {"24", 25},  {"-5", 25}, {"50", 50}};
    for (const Case& c : cases) {
        std::vector<std::string> options = {"--draws", kDraws50, "--uptime-ms", "1"};
        if (c.bets != nullptr) options.insert(options.end(), {"--bets", c.bets});
        const CliRun run = board(options);
        const std::string label = c.bets != nullptr ? c.bets : "default";
        ASSERT_EQ(run.status, kOk) << label << ": " << run.err;
        const BoardText parts = splitBoardText(run.out);
        const std::string name = "后二单式" + std::to_string(c.shown) + "注";
        ASSERT_FALSE(parts.rows.empty()) << label;
        EXPECT_NE(parts.rows.front().find(" " + name + " "), std::string::npos)
            << label << ": " << parts.rows.front();
        EXPECT_EQ(countNumbers(parts.latestPrediction), c.shown) << label;
    }
}

TEST(BoardCommand, TakesTheMinimumOfARangeWhoseEndsAreSwapped) {
    for (const char* bets : {"30", "10", "90"}) {
        const CliRun run = board(
            {"--draws", kDraws50, "--uptime-ms", "1", "--spec", "后二单式70-25注", "--bets", bets});
        ASSERT_EQ(run.status, kOk) << bets << ": " << run.err;
        const BoardText parts = splitBoardText(run.out);
        ASSERT_FALSE(parts.rows.empty()) << bets;
        EXPECT_NE(parts.rows.front().find(" 后二单式70注 "), std::string::npos)
            << bets << ": " << parts.rows.front();
    }
}

TEST(BoardCommand, FormulaPeriodsSetTheWindowOfEveryRow) {
    const CliRun one = board({"--draws", kDraws50, "--uptime-ms", "7", "--periods", "1"});
    ASSERT_EQ(one.status, kOk) << one.err;
    for (const std::string& row : splitBoardText(one.out).rows) {
        EXPECT_EQ(row.find("期 后二单式47注 "), 3u) << row;
    }
    const CliRun two = board({"--draws", kDraws50, "--uptime-ms", "7", "--periods", "2"});
    ASSERT_EQ(two.status, kOk) << two.err;
    for (const std::string& row : splitBoardText(two.out).rows) {
        const std::int32_t start = textToInt(row.substr(0, 3));
        const std::int32_t end = textToInt(row.substr(6, 3));
        // Period sums above 120 become 001: after 119 a row is 120→001, after 120 001→001.
        EXPECT_EQ(end, start == 120 || start == 1 ? 1 : start + 1) << row;
    }
}

TEST(BoardCommand, ShowsAPlanWithoutBetCountAsRegistered) {
    const CliRun run = board({"--draws", kDraws50, "--uptime-ms", "9", "--spec", "五星独胆"});
    ASSERT_EQ(run.status, kOk) << run.err;
    EXPECT_EQ(run.err, "");
    const BoardText parts = splitBoardText(run.out);
    ASSERT_FALSE(parts.rows.empty());
    EXPECT_EQ(parts.latestPrediction, "") << "a plan with its prediction on every row";
    for (const std::string& row : parts.rows) {
        EXPECT_NE(row.find("期 五星独胆【"), std::string::npos) << row;
    }
}

TEST(BoardCommand, WarnsAboutABetCountItCannotApply) {
    const CliRun ignored =
        board({"--draws", kDraws50, "--uptime-ms", "9", "--spec", "五星独胆", "--bets", "30"});
    EXPECT_EQ(ignored.status, kOk);
    EXPECT_EQ(ignored.out,
              board({"--draws", kDraws50, "--uptime-ms", "9", "--spec", "五星独胆"}).out);
    EXPECT_EQ(ignored.err,
              "sscplan board: warning: the bet count is ignored: '五星独胆' names no bet-count "
              "range\n");

    // "注" without a range: the search fails, the plan is shown with its own bet count.
    const CliRun noRange =
        board({"--draws", kDraws50, "--uptime-ms", "9", "--spec", "后二单式5注"});
    EXPECT_EQ(noRange.status, kOk);
    EXPECT_EQ(noRange.err, "sscplan board: warning: 正则搜索失败！\n");
    const BoardText parts = splitBoardText(noRange.out);
    ASSERT_FALSE(parts.rows.empty());
    EXPECT_NE(parts.rows.front().find(" 后二单式5注 "), std::string::npos);
    EXPECT_EQ(countNumbers(parts.latestPrediction), 5u);
}

TEST(BoardCommand, ShowsOnlyStatisticsWhenNoPlanCarriesTheShownName) {
    // Items of a longer plan text are registered under their own names.
    const CliRun run =
        board({"--draws", kDraws50, "--uptime-ms", "9", "--spec", "五星独胆 后一单双"});
    ASSERT_EQ(run.status, kOk) << run.err;
    EXPECT_EQ(run.out, "\r\n\r\n" + statisticsText(0, 0, 0));
}

TEST(BoardCommand, ReplaysWhatAShortHistoryHolds) {
    const TempFile file("draws_short.txt",
                        "20261211,003,2026-12-11 00:24:00,90817,5551\n"
                        "20261211,002,2026-12-11 00:12:00,12345,5552\n"
                        "20261211,001,2026-12-11 00:00:00,67890,5553\n");
    const CliRun run =
        board({"--draws", file.path(), "--uptime-ms", "3", "--periods", "1", "--bets", "30"});
    ASSERT_EQ(run.status, kOk) << run.err;
    const BoardText parts = splitBoardText(run.out);
    ASSERT_EQ(parts.rows.size(), 4u) << run.out;
    EXPECT_TRUE(parts.rows.front().starts_with("001期 后二单式30注 001-67890→"))
        << parts.rows.front();
    EXPECT_EQ(parts.rows.back(), "004期 后二单式30注 等开");
}

}  // namespace
}  // namespace sscplan::cli
