#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace sscplan::testing {

struct ChildResult {
    int exitCode = -1;  // -1 when it was killed or ended by a signal
    std::string out;
    std::string err;
};

// Runs a program to its end with `extraEnvironment` ("NAME=value") added to ours, and
// collects its output. A program still running after `limit` is killed.
ChildResult runChild(const std::string& program, const std::vector<std::string>& arguments,
                     const std::vector<std::string>& extraEnvironment = {},
                     std::chrono::seconds limit = std::chrono::seconds(60));

// A program that runs beside the test (a server); killed and reaped by the destructor.
class BackgroundChild {
  public:
    BackgroundChild(const std::string& program, const std::vector<std::string>& arguments);
    ~BackgroundChild();
    BackgroundChild(const BackgroundChild&) = delete;
    BackgroundChild& operator=(const BackgroundChild&) = delete;

    // The first line of its standard output that starts with `prefix`, waiting at most
    // `limit`; nullopt when none came.
    std::optional<std::string> awaitLine(const std::string& prefix, std::chrono::seconds limit);

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string pending_;
};

}  // namespace sscplan::testing
