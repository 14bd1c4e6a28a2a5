#include "common/text.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "common/md5.h"

namespace sscplan {
namespace {

TEST(TextToInt, ReadsTheLeadingNumberAfterFullWidthForms) {
    struct Case {
        const char* text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"25-70", 25},  {"47.5", 47},   {"４０", 40},         {"  -12ab", -12},
        {"+7", 7},      {"－３", -3},   {"abc", 0},           {"", 0},
        {"　5", 5},     {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1},
    };
    for (const Case& c : cases) EXPECT_EQ(textToInt(c.text), c.value) << c.text;
}

TEST(TextToNumber, SixtyFourBitAndSinglePrecisionForms) {
    EXPECT_EQ(textToInt64("-9223372036854775808x"), INT64_MIN);
    EXPECT_EQ(textToInt64("99999999999999999999"), INT64_MAX);
    EXPECT_EQ(textToInt64("４2949672960"), 42949672960);
    struct Case {
        const char* text;
        float value;
    };
    const Case cases[] = {
        {"1.41", 1.41F}, {"1.100", 1.1F}, {" +1.5abc", 1.5F}, {"－２.5", -2.5F},
        {".5", 0.5F},    {"5.", 5.0F},    {"2e3", 2000.0F},   {"2e", 2.0F},
        {"inf", 0.0F},   {"0x10", 0.0F},  {"", 0.0F},         {"1e99", 0.0F},
    };
    for (const Case& c : cases) EXPECT_EQ(textToFloat(c.text), c.value) << c.text;
}

TEST(RealToText, UsesThirteenSignificantDigitsWithoutTrailingZeros) {
    EXPECT_EQ(realToText(47.5), "47.5");
    EXPECT_EQ(realToText(62.0), "62");
    EXPECT_EQ(realToText(33.33), "33.33");
    EXPECT_EQ(realToText(100.0 / 3.0), "33.33333333333");
    EXPECT_EQ(realToText(0.0), "0");
}

TEST(Truncation, GoesTowardZeroAndWrapsAt32Bits) {
    EXPECT_EQ(truncateToInt32(-2.9), -2);
    EXPECT_EQ(truncateToInt32(2.9), 2);
    EXPECT_EQ(truncateToInt32(4294967297.0), 1);
    EXPECT_EQ(wrapToInt32(std::int64_t{2147483647} + 1), -2147483647 - 1);
}

TEST(Encoding, RoundTripsThroughGbkAndCountsCharacters) {
    const std::string name = "后二单式25-70注";
    const auto gbk = utf8ToGbk(name);
    ASSERT_TRUE(gbk.has_value());
    EXPECT_EQ(gbk->size(), 15u);  // five Chinese characters of two bytes, five ASCII
    EXPECT_EQ(gbkToUtf8(*gbk), name);
    EXPECT_EQ(characterCount(name), 10u);
    EXPECT_EQ(characterSlice(name, 1, 1), "二");
    EXPECT_EQ(characterSlice(name, 4), "25-70注");
    EXPECT_FALSE(gbkToUtf8("\x81").has_value());
    EXPECT_FALSE(utf8ToGbk("\xff\xfe").has_value());
}

TEST(Encoding, InvalidUtf8BytesAreSingleCharacters) {
    const std::string broken = "a\xe5\x90z";
    EXPECT_EQ(characterCount(broken), 4u);
    EXPECT_EQ(wideToUtf8(utf8ToWide(broken)), "a\xEF\xBF\xBD\xEF\xBF\xBDz");
}

TEST(SplitText, DropsOnlyAnEmptyLastPiece) {
    using V = std::vector<std::string>;
    EXPECT_EQ(splitText("a| |b| |", "| |"), (V{"a", "b"}));
    EXPECT_EQ(splitText("a| || |b", "| |"), (V{"a", "", "b"}));
    EXPECT_EQ(splitText("", "| |"), V{});
    EXPECT_EQ(splitText("| |", "| |"), (V{""}));
    EXPECT_EQ(replaceAll("a\r\nb\r\n", "\r\n", " "), "a b ");
}

TEST(Md5, MatchesTheStandardDigest) {
    EXPECT_EQ(md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
}

}  // namespace
}  // namespace sscplan
