#include "appserver/cli.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "appserver/draw_store.h"
#include "tests/appserver/server_process.h"

namespace sscplan::appserver {
namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// Commands against one store in a fresh folder.
class CliTest : public ::testing::Test {
  protected:
    Outcome run(std::vector<std::string> args) {
        args.push_back("--db");
        args.push_back(db());
        std::ostringstream out, err;
        const int status = runCli(args, out, err);
        return {status, out.str(), err.str()};
    }
    std::string db() const { return dir_.file("draws.sqlite"); }
    std::string writeFile(const std::string& name, const std::string& text) {
        std::ofstream(dir_.file(name), std::ios::binary) << text;
        return dir_.file(name);
    }
    std::string exported() { return run({"export"}).out; }

    testing::TempDir dir_;
};

const char* const kGoodFile =
    "# newest first\n"
    "20190307,023,2019-03-07 01:55:00,90817,123456\n"
    "\n"
    "20190307,22,2019-03-07 01:50:00,00001,-7\n"
    "20190306,120,2019-03-07 00:00:00,55555,99\n";

TEST_F(CliTest, ImportThenExportNewestFirst) {
    const Outcome imported = run({"import", writeFile("good.txt", kGoodFile)});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, "stored 3 draws from " + dir_.file("good.txt") + "\n");
    EXPECT_EQ(exported(),
              "20190307,023,2019-03-07 01:55:00,90817,123456\n"
              "20190307,022,2019-03-07 01:50:00,00001,-7\n"
              "20190306,120,2019-03-07 00:00:00,55555,99\n");
    EXPECT_EQ(run({"export", "--count", "1"}).out,
              "20190307,023,2019-03-07 01:55:00,90817,123456\n");
}

TEST_F(CliTest, ImportNamesTheFaultyLineAndStoresNothing) {
    ASSERT_EQ(run({"add", "20190301", "001", "12345"}).status, 0);
    const std::string before = exported();
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"20190307,023,2019-03-07 01:55:00,90817,1\n20190307,024,x,1,2,3\n",
         "line 2: expected 5 comma-separated fields"},
        {"20190307,023,2019-03-07 01:55:00,90817,1\n2019037,024,2019-03-07 10:00:00,12345,1\n",
         "line 2: date '2019037' is not a date in the form YYYYMMDD"},
        {"# c\n20190307,121,2019-03-07 01:55:00,90817,1\n",
         "line 2: period '121' is not a period number 001 to 120"},
        {"20190307,000,2019-03-07 01:55:00,90817,1\n",
         "line 1: period '000' is not a period number 001 to 120"},
        {"20190307,023,2019-03-07 1:55,90817,1\n",
         "line 1: draw time '2019-03-07 1:55' is not a date-time"},
        {"20190307,023,2019-03-08 01:55:00,90817,1\n",
         "line 1: draw time 2019-03-08 01:55:00 does not fall on the draw's date 20190307"},
        {"20190307,023,2019-03-07 01:55:00,9081,1\n", "line 1: numbers '9081' are not five digits"},
        {"20190307,023,2019-03-07 01:55:00,9081x,1\n",
         "line 1: numbers '9081x' are not five digits"},
        {"20190307,023,2019-03-07 01:55:00,90817,abc\n",
         "line 1: the seed value is not a non-zero integer"},
        {"20190307,023,2019-03-07 01:55:00,90817,1\n\n20190307,23,2019-03-07 01:55:00,11111,2\n",
         "line 3: period 20190307-023 appears again (first on line 1)"},
        {"20190307,023,2019-03-07 01:55:00,90817,1\n20190301,001,2019-03-01 00:05:00,11111,2\n",
         "line 2: period 20190301-001 is already stored"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = run({"import", writeFile("bad.txt", c.text)});
        EXPECT_EQ(outcome.status, 1) << c.text;
        EXPECT_NE(outcome.err.find(c.error), std::string::npos) << outcome.err;
        EXPECT_NE(outcome.err.find("nothing stored"), std::string::npos) << outcome.err;
        EXPECT_EQ(exported(), before) << c.text;
    }
}

TEST_F(CliTest, AddRecordsOneResultAtItsScheduledTime) {
    const Outcome added = run({"add", "20261211", "120", "01234"});
    ASSERT_EQ(added.status, 0) << added.err;
    EXPECT_TRUE(added.out.starts_with("stored 20261211,120,2026-12-12 00:00:00,01234,"))
        << added.out;
    ASSERT_EQ(run({"add", "20261212", "1", "55555", "--time", "2026-12-12 00:05:31"}).status, 0);
    const std::string text = exported();
    EXPECT_TRUE(text.starts_with("20261212,001,2026-12-12 00:05:31,55555,")) << text;
}

TEST_F(CliTest, AddRefusesBadInput) {
    ASSERT_EQ(run({"add", "20261211", "023", "12345"}).status, 0);
    struct Case {
        std::vector<std::string> args;
        const char* error;
    };
    const Case cases[] = {
        {{"add", "20261311", "023", "12345"}, "date '20261311' is not a date"},
        {{"add", "20261211", "121", "12345"}, "period '121' is not a period number"},
        {{"add", "20261211", "024", "1234"}, "numbers '1234' are not five digits"},
        {{"add", "20261211", "024", "12345", "--time", "noon"}, "draw time 'noon'"},
        {{"add", "20261211", "023", "54321"}, "period 20261211-023 is already stored"},
        {{"add", "20261211", "024"}, "add needs DATE PERIOD NUMBERS"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = run(c.args);
        EXPECT_NE(outcome.status, 0);
        EXPECT_NE(outcome.err.find(c.error), std::string::npos) << outcome.err;
    }
    const std::string text = exported();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    EXPECT_TRUE(text.starts_with("20261211,023,2026-12-11 01:55:00,12345,")) << text;
}

TEST_F(CliTest, RecordedDrawsStayOutOfASimulatedStore) {
    {
        std::string error;
        auto store = DrawStore::open(db(), true, error);
        ASSERT_TRUE(store && store->claimMode(StoreMode::kSimulated, error)) << error;
    }
    const Outcome outcome = run({"add", "20261211", "023", "12345"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("this store holds draws simulated on the daily timetable"),
              std::string::npos)
        << outcome.err;
}

TEST_F(CliTest, RefusesUnknownCommandsAndOptions) {
    EXPECT_EQ(run({"frobnicate"}).status, 2);
    const Outcome option = run({"export", "--listen", "127.0.0.1:1"});
    EXPECT_EQ(option.status, 2);
    EXPECT_NE(option.err.find("unknown option --listen for export"), std::string::npos);
    EXPECT_EQ(run({"export", "--count", "0"}).status, 2);
    const Outcome missing = run({"export"});
    EXPECT_EQ(missing.status, 1) << "no store is created by export";
    EXPECT_NE(missing.err.find("no draw store at"), std::string::npos);
}

TEST(ListenAddress, ReadsHostAndPort) {
    EXPECT_EQ(parseListenAddress("127.0.0.1:0")->port, 0);
    EXPECT_EQ(parseListenAddress("127.0.0.1:19300")->host, "127.0.0.1");
    EXPECT_EQ(parseListenAddress("[::1]:8080")->host, "::1");
    for (const char* bad :
         {"127.0.0.1", ":80", "127.0.0.1:65536", "127.0.0.1:x", "::1:80", "[]:80"}) {
        EXPECT_FALSE(parseListenAddress(bad)) << bad;
    }
}

}  // namespace
}  // namespace sscplan::appserver
