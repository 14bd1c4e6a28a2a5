#include "appserver/pages.h"

#include <gtest/gtest.h>

namespace sscplan::appserver {
namespace {

DrawHistory drawsWithNumbers(const std::vector<std::string>& numbers) {
    DrawHistory draws;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        draws.push_back(
            DrawRecord{"20261211", std::to_string(100 + i), "2026-12-11 10:00:00", numbers[i], 1});
    }
    return draws;
}

TEST(Pages, CountsDigitsPerPositionOverTheLastHundredDraws) {
    std::vector<std::string> numbers(kChartDraws, "01234");
    numbers.push_back("99999");  // the 101st newest draw is outside the chart
    numbers[0] = "0123x";        // not five digits: skipped
    const DigitCounts counts = digitCounts(drawsWithNumbers(numbers));
    EXPECT_EQ(counts[0][0], 99);
    EXPECT_EQ(counts[4][4], 99);
    EXPECT_EQ(counts[0][9], 0);
    EXPECT_EQ(counts[4][9], 0);
}

TEST(Pages, PanelIsSelfContained) {
    const std::string page =
        panelPage(drawsWithNumbers({"90817", "00001"}), "http://127.0.0.1:1/history");
    EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(page.find("<svg"), std::string::npos);
    EXPECT_NE(page.find("90817"), std::string::npos);
    EXPECT_NE(page.find("href=\"http://127.0.0.1:1/history\""), std::string::npos);
    for (const char* fetch : {"src=", "<link", "@import", "url("}) {
        EXPECT_EQ(page.find(fetch), std::string::npos) << fetch;
    }
}

TEST(Pages, EscapesWhatItShows) {
    const std::string page =
        historyPage("<b>", drawsWithNumbers({"<x>"}), {"2026\"1211"}, "http://h/history");
    EXPECT_EQ(page.find("<b>"), std::string::npos);
    EXPECT_EQ(page.find("<x>"), std::string::npos);
    EXPECT_NE(page.find("&lt;x&gt;"), std::string::npos);
    EXPECT_NE(page.find("2026&quot;1211"), std::string::npos);
}

}  // namespace
}  // namespace sscplan::appserver
