#include "draws/draws_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace sscplan {
namespace {

TEST(DrawsFile, ReadsDrawsSkippingCommentsAndBlankLines) {
    const auto result = parseDrawsText(
        "# newest first\r\n"
        "20261211,023, 2026-12-11 01:55:00 ,90817,123456\r\n"
        "\r\n"
        "   \n"
        // Indented comments are comments too: read as a draw, this one's date would
        // begin with #, and written back the draw would turn into a comment.
        "  # 20261211,024,2026-12-11 02:00:00,55555,1\n"
        "20261211,022,2026-12-11 01:50:00,12345,x\n");
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(result.draws.size(), 2u);
    EXPECT_EQ(result.lines, (std::vector<std::size_t>{2, 6}));
    EXPECT_EQ(result.draws[0],
              (DrawRecord{"20261211", "023", "2026-12-11 01:55:00", "90817", 123456}));
    EXPECT_EQ(result.draws[1].seedValue, 0) << "a seed that is no number reads as 0";
    EXPECT_EQ(drawsFileLine(result.draws[0]), "20261211,023,2026-12-11 01:55:00,90817,123456");
    EXPECT_EQ(displayPeriod(result.draws[0]), "20261211-023");
    EXPECT_EQ(enginePeriod(result.draws[0]), "20261211023");
}

TEST(DrawsFile, NamesTheLineOfTheFirstFault) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"a,b,c,d\n", "line 1: expected 5 comma-separated fields "
                      "(date,periodNo,drawTime,numbers,seedValue), found 4"},
        {"# x\na,b,c,d,e,f\n", "line 2: expected 5 comma-separated fields "
                               "(date,periodNo,drawTime,numbers,seedValue), found 6"},
        {"a,b,c,d,1\na,,,\n", "line 2: expected 5 comma-separated fields "
                              "(date,periodNo,drawTime,numbers,seedValue), found 4"},
        {"a,b,c,\xff,1\n", "line 1: not UTF-8 text"},
    };
    for (const Case& c : cases) {
        const auto result = parseDrawsText(c.text);
        EXPECT_FALSE(result.ok) << c.text;
        EXPECT_EQ(result.error, c.error);
        EXPECT_TRUE(result.draws.empty());
    }
}

TEST(DrawsFile, ReportsAMissingFile) {
    const auto result = readDrawsFile("/nonexistent/draws.txt");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "cannot open /nonexistent/draws.txt");
}

}  // namespace
}  // namespace sscplan
