#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/tools/cli_run.h"

namespace sscplan::cli {
namespace {

// Runs the built program with stderr discarded; the arguments are single-quoted for the
// shell and must not hold a quote themselves.
CliRun runProgram(const std::vector<std::string>& args) {
    std::string command = "'" SSCPLAN_BINARY_DIR "/tools/sscplan'";
    for (const std::string& arg : args) command += " '" + arg + "'";
    command += " 2>/dev/null";
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        run.out.append(buffer, n);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(SscplanProgram, PrintsTheSameBytesAsTheInProcessRun) {
    const std::vector<std::string> args = {
        "board", "--draws", testData("draws50.txt"), "--uptime-ms", "424242", "--bets", "33"};
    const CliRun program = runProgram(args);
    const CliRun inProcess = runSscplan(args);
    ASSERT_EQ(inProcess.status, kOk) << inProcess.err;
    EXPECT_EQ(program.status, kOk);
    EXPECT_EQ(program.out, inProcess.out);
}

TEST(SscplanProgram, EndsWithTheCommandsExitStatus) {
    EXPECT_EQ(runProgram({"predict", "五星独胆", "1"}).status, kOk);
    EXPECT_EQ(runProgram({"verify", "五星独胆", "7", "1234"}).status, kBadUsage);
}

}  // namespace
}  // namespace sscplan::cli
