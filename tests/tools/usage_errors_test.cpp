#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tools/cli_run.h"

namespace sscplan::cli {
namespace {

const std::string kDraws50 = testData("draws50.txt");

struct UsageCase {
    std::vector<std::string> args;
    std::string err;  // the whole stderr
};

TEST(CliUsageErrors, ReportOneLineOnStderrNothingOnStdoutAndStatusTwo) {
    const TempFile badLineFile("draws_bad_line.txt",
                               "# newest first\n"
                               "20261211,029,2026-12-11 05:36:00,20120,2032400311\n"
                               "20261211,028,2026-12-11 05:24:00,32947\n");
    const TempFile badNumbersFile("draws_bad_numbers.txt",
                                  "20261211,029,2026-12-11 05:36:00,20120,2032400311\n"
                                  "20261211,028,2026-12-11 05:24:00,3294,67879115\n");
    const TempFile noDrawsFile("draws_none.txt", "# nothing yet\n\n");
    const std::string& badLine = badLineFile.path();
    const std::string& badNumbers = badNumbersFile.path();
    const std::string& noDraws = noDrawsFile.path();
    const std::string seeBoard = " (see sscplan board --help)\n";
    const std::string seeVerify = " (see sscplan verify --help)\n";
    const std::string seePredict = " (see sscplan predict --help)\n";

    const UsageCase cases[] = {
        {{"board"}, "sscplan board: give one of --draws FILE and --server URL" + seeBoard},
        {{"board", "--spec", "五星独胆"},
         "sscplan board: give one of --draws FILE and --server URL" + seeBoard},
        {{"board", "--draws"}, "sscplan board: option --draws needs a value" + seeBoard},
        {{"board", "--draws", "--periods", "2"},
         "sscplan board: option --draws needs a value" + seeBoard},
        {{"board", "--draws", "/nonexistent/draws.txt"},
         "sscplan board: cannot open /nonexistent/draws.txt\n"},
        {{"board", "--draws", badLine},
         "sscplan board: " + badLine +
             ": line 3: expected 5 comma-separated fields "
             "(date,periodNo,drawTime,numbers,seedValue), found 4\n"},
        {{"board", "--draws", badNumbers},
         "sscplan board: " + badNumbers +
             ": draw 20261211-028: numbers '3294' are not five digits 0-9\n"},
        {{"board", "--draws", noDraws}, "sscplan board: " + noDraws + ": no draws given\n"},
        {{"board", "--draws", kDraws50, "--periods", "0"},
         "sscplan board: --periods '0' is not 1, 2 or 3" + seeBoard},
        {{"board", "--draws", kDraws50, "--periods", "4"},
         "sscplan board: --periods '4' is not 1, 2 or 3" + seeBoard},
        {{"board", "--draws", kDraws50, "--periods", "x"},
         "sscplan board: --periods 'x' is not 1, 2 or 3" + seeBoard},
        {{"board", "--draws", kDraws50, "--periods="},
         "sscplan board: --periods '' is not 1, 2 or 3" + seeBoard},
        {{"board", "--draws", kDraws50, "--bets", "x"},
         "sscplan board: --bets 'x' is not a 32-bit signed decimal integer" + seeBoard},
        {{"board", "--draws", kDraws50, "--bets", "47.5"},
         "sscplan board: --bets '47.5' is not a 32-bit signed decimal integer" + seeBoard},
        {{"board", "--draws", kDraws50, "--uptime-ms", "-1"},
         "sscplan board: --uptime-ms '-1' is not 0 to 4294967295" + seeBoard},
        {{"board", "--draws", kDraws50, "--uptime-ms", "4294967296"},
         "sscplan board: --uptime-ms '4294967296' is not 0 to 4294967295" + seeBoard},
        {{"board", "--draws", kDraws50, "--server", "http://127.0.0.1:1/"},
         "sscplan board: give one of --draws FILE and --server URL" + seeBoard},
        {{"board", "--draws", kDraws50, "--source", "x"},
         "sscplan board: unknown option '--source'" + seeBoard},
        {{"board", "--draws", kDraws50, "extra"},
         "sscplan board: unexpected argument 'extra'" + seeBoard},
        {{"board", "--draws", kDraws50, "--periods", "1", "--periods", "2"},
         "sscplan board: option --periods given more than once" + seeBoard},
        {{"verify", "五星独胆", "7", "1234"},
         "sscplan verify: DIGITS '1234' is not five digits 0-9 such as 12345" + seeVerify},
        {{"verify", "五星独胆", "7", "12a45"},
         "sscplan verify: DIGITS '12a45' is not five digits 0-9 such as 12345" + seeVerify},
        {{"verify", "五星独胆", "7", "123456"},
         "sscplan verify: DIGITS '123456' is not five digits 0-9 such as 12345" + seeVerify},
        {{"verify", "五星独胆", "7", "１２３４５"},
         "sscplan verify: DIGITS '１２３４５' is not five digits 0-9 such as 12345" + seeVerify},
        {{"verify", "五星独胆", "7"},
         "sscplan verify: expected SPEC, PREDICTION and DIGITS, got 2 argument(s)" + seeVerify},
        {{"verify", "后二单式", "7", "12345"},
         "sscplan verify: SPEC '后二单式' names no plan" + seeVerify},
        {{"predict", "五星独胆", "x"},
         "sscplan predict: SEED 'x' is not a 32-bit signed decimal integer" + seePredict},
        {{"predict", "五星独胆", "2147483648"},
         "sscplan predict: SEED '2147483648' is not a 32-bit signed decimal integer" + seePredict},
        {{"predict", "五星独胆", "1", "2"},
         "sscplan predict: expected SPEC and SEED, got 3 argument(s)" + seePredict},
        {{"predict", "", "1"}, "sscplan predict: SPEC '' names no plan" + seePredict},
    };
    for (const UsageCase& c : cases) {
        const CliRun run = runSscplan(c.args);
        const std::string label = c.args.size() > 1 ? c.args[0] + " " + c.args.back() : c.args[0];
        EXPECT_EQ(run.status, kBadUsage) << label;
        EXPECT_EQ(run.out, "") << label;
        EXPECT_EQ(run.err, c.err) << label;
    }
}

TEST(CliHelp, ExplainsEveryArgumentOfEachCommand) {
    struct Case {
        std::string command;
        std::vector<std::string> mentions;
    };
    const Case cases[] = {
        {"predict", {"usage: sscplan predict SPEC SEED", "SPEC", "SEED", "NAME<TAB>["}},
        {"fetch", {"usage: sscplan fetch URL", "--count N", "--app-id N", "date,periodNo"}},
        {"verify",
         {"usage: sscplan verify SPEC PREDICTION DIGITS", "PREDICTION", "DIGITS", "<TAB>1"}},
        {"board",
         {"usage: sscplan board (--draws FILE | --server URL)", "--draws FILE", "--server URL",
          "--spec SPEC", "--periods N", "--bets N", "--uptime-ms N", "no\nline break after it", "后二单式25-70注"}},
    };
    for (const Case& c : cases) {
        const CliRun run = runSscplan({c.command, "--help"});
        EXPECT_EQ(run.status, kOk) << c.command;
        EXPECT_EQ(run.err, "") << c.command;
        for (const std::string& text : c.mentions) {
            EXPECT_NE(run.out.find(text), std::string::npos) << c.command << ": " << text;
        }
    }
}

}  // namespace
}  // namespace sscplan::cli
