#include "tools/commands/options.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sscplan::cli {
namespace {

TEST(CliNumbers, Int32AcceptsOnlyAWholeDecimalNumberInRange) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> value;
    };
    const Case cases[] = {
        {"0", 0},
        {"1", 1},
        {"+7", 7},
        {"-1", -1},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"++1", std::nullopt},
        {"+-1", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"12a", std::nullopt},
        {"1.5", std::nullopt},
        {"0x10", std::nullopt},
        {"１２", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(parseInt32(c.text), c.value) << "'" << c.text << "'";
}

TEST(CliNumbers, Uint32RefusesNegativeNumbersInsteadOfWrapping) {
    struct Case {
        const char* text;
        std::optional<std::uint32_t> value;
    };
    const Case cases[] = {
        {"0", 0u},
        {"+5", 5u},
        {"4294967295", 4294967295u},
        {"4294967296", std::nullopt},
        {"-1", std::nullopt},
        {"-0", std::nullopt},
        {"x", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(parseUint32(c.text), c.value) << "'" << c.text << "'";
}

ParsedOptions parse(const std::vector<std::string>& args) {
    return parseOptions(args, {"--a", "--b"});
}

TEST(CliOptions, ReadsBothValueFormsAndKeepsPositionalOrder) {
    const auto parsed = parse({"x", "--a", "1", "y", "--b=two=2", "--", "--a"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.values.at("--a"), "1");
    EXPECT_EQ(parsed.values.at("--b"), "two=2");
    EXPECT_EQ(parsed.positional, (std::vector<std::string>{"x", "y", "--a"}));
}

TEST(CliOptions, AcceptsAnEmptyValueOnlyInTheEqualsForm) {
    const auto parsed = parse({"--a="});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.values.at("--a"), "");
    EXPECT_EQ(parse({"--a", "--b", "1"}).error, "option --a needs a value");
    EXPECT_EQ(parse({"--a=--b"}).values.at("--a"), "--b");
}

TEST(CliOptions, NamesTheFaultyOption) {
    struct Case {
        std::vector<std::string> args;
        const char* error;
    };
    const Case cases[] = {
        {{"--c", "1"}, "unknown option '--c'"},
        {{"--c=1"}, "unknown option '--c'"},
        {{"--a"}, "option --a needs a value"},
        {{"--b", "1", "--a"}, "option --a needs a value"},
        {{"--a", "1", "--a=2"}, "option --a given more than once"},
    };
    for (const Case& c : cases) EXPECT_EQ(parse(c.args).error, c.error) << c.args.front();
}

}  // namespace
}  // namespace sscplan::cli
