#include "server/draw_table.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "server/draw_day.h"

namespace sscplan {
namespace {

std::string linesOfFiveCells(int lines, const std::string& lineBreak) {
    std::string text;
    for (int i = 1; i <= lines; ++i) {
        text += "20261211|+|" + std::to_string(i) + "|+|t|+|12345|+|" + std::to_string(i * 3);
        if (i < lines) text += lineBreak;
    }
    return text;
}

TEST(DrawTable, FiftyLinesOfFiveCellsGiveFiftyByFive) {
    for (const std::string& text :
         {linesOfFiveCells(50, "\r\n"), linesOfFiveCells(50, "\r\n") + "\r\n"}) {
        DrawTable table;
        ASSERT_TRUE(buildDrawTable(text, table));
        ASSERT_EQ(table.size(), 50u);
        EXPECT_EQ(columnCount(table), 5u);
        EXPECT_EQ(table[0], (std::vector<std::string>{"20261211", "1", "t", "12345", "3"}));
        EXPECT_EQ(table[49], (std::vector<std::string>{"20261211", "50", "t", "12345", "150"}));
    }
}

TEST(DrawTable, CellsAreReadInOrderAcrossLinesAndLeftoversDropped) {
    DrawTable table;
    ASSERT_TRUE(buildDrawTable("1|+|2|+|3|+|4|+|5|+|6\r\n7|+|8|+|9|+|10|+|11", table));
    EXPECT_EQ(table, (DrawTable{{"1", "2", "3", "4", "5"}, {"6", "7", "8", "9", "10"}}));
}

TEST(DrawTable, EmptyPiecesAreCellsExceptAtTheEndOfALine) {
    DrawTable table;
    ASSERT_TRUE(buildDrawTable("a|+||+|b|+|", table));
    EXPECT_EQ(table, (DrawTable{{"a", "", "b"}}));
}

TEST(DrawTable, EmptyTextLeavesTheTableAlone) {
    DrawTable table = {{"kept"}};
    EXPECT_FALSE(buildDrawTable("", table));
    EXPECT_EQ(table, (DrawTable{{"kept"}}));
}

TEST(DrawTable, FewerCellsThanLinesGiveRowsWithoutCells) {
    DrawTable table;
    ASSERT_TRUE(buildDrawTable("a\r\n\r\nb", table));
    EXPECT_EQ(table.size(), 3u);
    EXPECT_EQ(columnCount(table), 0u);
}

TEST(DrawTable, ArbitraryBytesNeverBreakTheBuild) {
    const std::string inputs[] = {std::string("\xff\xfe|+|\x80\r\n\xc3", 10),
                                  std::string("\0|+|\0", 5),
                                  "|+||+||+|",
                                  "\r",
                                  "|+",
                                  "\n\r\n"};
    for (const std::string& input : inputs) {
        DrawTable table;
        ASSERT_TRUE(buildDrawTable(input, table));
        for (const auto& row : table) EXPECT_EQ(row.size(), columnCount(table));
    }
}

TEST(NewestDrawSplit, PiecesBetweenSeparators) {
    EXPECT_EQ(splitNewestDraw("a| |b| |"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(splitNewestDraw("a| || |b"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(splitNewestDraw("a|b"), std::vector<std::string>{"a|b"});
    EXPECT_TRUE(splitNewestDraw("").empty());
}

struct DayCase {
    const char* text;
    std::optional<std::string> day;
};

class DrawDayTest : public ::testing::TestWithParam<DayCase> {};

TEST_P(DrawDayTest, ReadsTheDateFirst) { EXPECT_EQ(drawDayText(GetParam().text), GetParam().day); }

INSTANTIATE_TEST_SUITE_P(
    Texts, DrawDayTest,
    ::testing::Values(DayCase{"2019-03-07", "2019-3-7"}, DayCase{"2019-3-7", "2019-3-7"},
                      DayCase{"2019-03-07 10:20:30", "2019-3-7"},
                      DayCase{" 2019-03-07 9:05 ", "2019-3-7"}, DayCase{"2019/12/31", "2019-12-31"},
                      DayCase{"20190307", "2019-3-7"}, DayCase{"20190307 23:59:59", "2019-3-7"},
                      DayCase{"2020-02-29", "2020-2-29"}, DayCase{"2019-02-29", std::nullopt},
                      DayCase{"2019-13-01", std::nullopt}, DayCase{"2019-00-10", std::nullopt},
                      DayCase{"2019-03-07 24:00", std::nullopt},
                      DayCase{"2019-03-07 10:60", std::nullopt},
                      DayCase{"2019-03/07", std::nullopt}, DayCase{"201903071", std::nullopt},
                      DayCase{"19-3-7", std::nullopt}, DayCase{"", std::nullopt},
                      DayCase{"abc", std::nullopt}, DayCase{"2019-03-07x", std::nullopt}));

}  // namespace
}  // namespace sscplan
