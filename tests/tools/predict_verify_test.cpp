#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/tools/cli_run.h"

namespace sscplan::cli {
namespace {

struct PredictCase {
    const char* spec;
    const char* seed;
    const char* out;
};

// Seeded outputs of the plan kinds: with seed 1 the generator's first output is 41.
TEST(PredictCommand, PrintsEachPlansSeededPredictionInOrder) {
    const PredictCase cases[] = {
        {"前三组六复式", "1", "前三组六复式\t[01245789]\n"},
        {"五星独胆", "1", "五星独胆\t[1]\n"},
        {"后二单式5注", "1", "后二单式5注\t[00 34 41 67 69 ]\n"},
        {"后二复式5*5注", "1", "后二复式5*5注\t[01479,12458]\n"},
        {"后一三码", "16", "后一三码\t[234]\n"},
        {"后一单双 后一大小\r\n五星和值单双", "+1",
         "后一单双\t[双]\n后一大小\t[大]\n五星和值单双\t[双]\n"},
        {"五星独胆 后二单式 前中后组三复式", "1", "五星独胆\t[1]\n前中后组三复式\t[01245789]\n"},
    };
    for (const PredictCase& c : cases) {
        const CliRun run = runSscplan({"predict", c.spec, c.seed});
        EXPECT_EQ(run.status, kOk) << c.spec;
        EXPECT_EQ(run.out, c.out) << c.spec;
        EXPECT_EQ(run.err, "") << c.spec;
    }
}

TEST(PredictCommand, GivesTheSamePredictionForTheSameSeedOnly) {
    const std::string first = runSscplan({"predict", "后二单式25-70注", "-123456"}).out;
    EXPECT_EQ(runSscplan({"predict", "后二单式25-70注", "-123456"}).out, first);
    EXPECT_NE(runSscplan({"predict", "后二单式25-70注", "-123457"}).out, first);
}

// The numbers between the brackets of one single-bet line, each checked to be two digits
// followed by one blank.
std::vector<std::string> singleBetNumbers(const std::string& line, const std::string& name) {
    const std::string head = name + "\t[";
    EXPECT_TRUE(line.starts_with(head)) << line;
    EXPECT_TRUE(line.ends_with("]")) << line;
    const std::string body = line.substr(head.size(), line.size() - head.size() - 1);
    std::vector<std::string> numbers;
    for (std::size_t p = 0; p < body.size(); p += 3) {
        const std::string piece = body.substr(p, 3);
        EXPECT_EQ(piece.size(), 3u) << body;
        EXPECT_TRUE(piece.size() == 3 && std::isdigit(static_cast<unsigned char>(piece[0])) &&
                    std::isdigit(static_cast<unsigned char>(piece[1])) && piece[2] == ' ')
            << "'" << piece << "' in " << body;
        numbers.push_back(piece.substr(0, 2));
    }
    return numbers;
}

TEST(PredictCommand, SingleBetsOfTheEditionAreTwentyFiveAscendingDistinctNumbers) {
    const CliRun run = runSscplan({"predict", "后二单式25-70注 五星独胆", "1"});
    ASSERT_EQ(run.status, kOk) << run.err;
    std::istringstream lines(run.out);
    std::string single;
    std::string digit;
    ASSERT_TRUE(std::getline(lines, single));
    ASSERT_TRUE(std::getline(lines, digit));
    EXPECT_EQ(digit, "五星独胆\t[1]");
    EXPECT_FALSE(std::getline(lines, digit)) << "one line per plan";

    const std::vector<std::string> numbers = singleBetNumbers(single, "后二单式25-70注");
    EXPECT_EQ(numbers.size(), 25u);
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
    EXPECT_EQ(std::set<std::string>(numbers.begin(), numbers.end()).size(), numbers.size());

    // The prediction printed is the one the plan judges: every number hits as the last
    // two digits, a number left out misses.
    const std::string prediction = single.substr(single.find('[') + 1);
    const std::string bets = prediction.substr(0, prediction.size() - 1);
    std::string absent;
    for (int n = 0; n < 100 && absent.empty(); ++n) {
        const std::string two = (n < 10 ? "0" : "") + std::to_string(n);
        if (std::find(numbers.begin(), numbers.end(), two) == numbers.end()) absent = two;
    }
    EXPECT_EQ(runSscplan({"verify", "后二单式25-70注", bets, "123" + numbers.front()}).out,
              "后二单式25-70注\t1\n");
    EXPECT_EQ(runSscplan({"verify", "后二单式25-70注", bets, "123" + numbers.back()}).out,
              "后二单式25-70注\t1\n");
    EXPECT_EQ(runSscplan({"verify", "后二单式25-70注", bets, "123" + absent}).out,
              "后二单式25-70注\t0\n");
}

struct VerifyCase {
    const char* spec;
    const char* prediction;
    const char* digits;
    const char* out;
};

TEST(VerifyCommand, PrintsOneForAHitAndZeroForAMissPerPlan) {
    const VerifyCase cases[] = {
        {"五星独胆", "7", "77123", "五星独胆\t1\n"},
        {"五星独胆", "7", "12345", "五星独胆\t0\n"},
        {"五星独胆", "7", "12347", "五星独胆\t1\n"},
        {"前三组六复式", "01245789", "12489", "前三组六复式\t1\n"},
        {"前三组六复式", "01245789", "11289", "前三组六复式\t0\n"},
        {"前三组六复式", "01245789", "12389", "前三组六复式\t0\n"},
        {"后二单式3注", "03 17 42 ", "12303", "后二单式3注\t1\n"},
        {"后二单式3注", "03 17 42 ", "12330", "后二单式3注\t0\n"},
        {"五星和值大小", "小", "99400", "五星和值大小\t1\n"},
        {"五星和值大小", "小", "99500", "五星和值大小\t0\n"},
        {"后一单双", "单 ", "12345", "后一单双\t0\n"},
        {"五星独胆 后一单双", "双", "12344", "五星独胆\t0\n后一单双\t1\n"},
        {"前中后组三复式", "01245789", "34049", "前中后组三复式\t1\n"},
        {"前中后组三复式", "01245789", "12345", "前中后组三复式\t0\n"},
    };
    for (const VerifyCase& c : cases) {
        const CliRun run = runSscplan({"verify", c.spec, c.prediction, c.digits});
        EXPECT_EQ(run.status, kOk) << c.spec << " " << c.digits;
        EXPECT_EQ(run.out, c.out) << c.spec << " " << c.digits;
        EXPECT_EQ(run.err, "") << c.spec << " " << c.digits;
    }
}

}  // namespace
}  // namespace sscplan::cli
