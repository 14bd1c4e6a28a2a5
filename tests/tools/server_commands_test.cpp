#include <gtest/gtest.h>

#include <sstream>

#include "cli_run.h"
#include "draws/draws_file.h"
#include "tests/fakes/fake_app_server.h"

namespace sscplan::cli {
namespace {

using sscplan::testing::FakeAppServer;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

TEST(FetchCommand, PrintsTheServersRowsAsADrawsFile) {
    FakeAppServer server;
    server.setDrawRows({"20261211|+|003|+|2026-12-11 00:15:00|+|90817|+|77",
                        "20261211|+|002|+|2026-12-11 00:10:00|+|12345|+|-5",
                        "20261211|+|001|+|2026-12-11 00:05:00|+|00000|+|9"});
    const CliRun run = runSscplan({"fetch", server.initUrl(), "--count", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "20261211,003,2026-12-11 00:15:00,90817,77\n"
              "20261211,002,2026-12-11 00:10:00,12345,-5\n");
    ASSERT_FALSE(server.calls().empty());
    EXPECT_EQ(server.calls().back().params,
              (std::vector<std::string>{FakeAppServer::kSessionToken, "2"}));

    // The output is what the draws-file reader takes back.
    const auto back = parseDrawsText(run.out);
    ASSERT_TRUE(back.ok) << back.error;
    EXPECT_EQ(back.draws.size(), 2u);
}

TEST(FetchCommand, FewerRowsThanAskedForPrintsOnlyTheRows) {
    FakeAppServer server;
    server.setDrawRows({"20261211|+|001|+|2026-12-11 00:05:00|+|00000|+|9"});
    const CliRun run = runSscplan({"fetch", server.initUrl()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(lines(run.out).size(), 1u);
}

TEST(FetchCommand, AServerThatRefusesGivesTheClientsErrorText) {
    FakeAppServer server;
    server.setFault(FakeAppServer::Stage::Token, FakeAppServer::Fault::Refuse);
    server.setRefusal("42", "暂停服务");
    const CliRun run = runSscplan({"fetch", server.initUrl()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "sscplan fetch: 初始化连接服务器失败！：暂停服务 错误代码：42\n");
}

TEST(BoardCommand, TakesItsDrawsFromTheServer) {
    FakeAppServer server;
    const CliRun fromServer =
        runSscplan({"board", "--server", server.initUrl(), "--uptime-ms", "1234"});
    ASSERT_EQ(fromServer.status, 0) << fromServer.err;

    // The same draws from a file give the same plan box, byte for byte.
    const CliRun fetched = runSscplan({"fetch", server.initUrl()});
    ASSERT_EQ(fetched.status, 0) << fetched.err;
    const TempFile file("draws_from_server.txt", fetched.out);
    const CliRun fromFile = runSscplan({"board", "--draws", file.path(), "--uptime-ms", "1234"});
    ASSERT_EQ(fromFile.status, 0) << fromFile.err;
    EXPECT_EQ(fromServer.out, fromFile.out);
    EXPECT_NE(fromServer.out.find("彩票有风险，投注需谨慎！"), std::string::npos);
}

TEST(BoardCommand, OneSourceExactly) {
    const CliRun both = runSscplan({"board", "--draws", "x", "--server", "http://127.0.0.1:1/"});
    EXPECT_EQ(both.status, 2);
    EXPECT_EQ(both.err,
              "sscplan board: give one of --draws FILE and --server URL "
              "(see sscplan board --help)\n");
}

}  // namespace
}  // namespace sscplan::cli
