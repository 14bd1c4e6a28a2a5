#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

// The real ssc-server binary, started beside a test.

namespace sscplan::appserver::testing {

using ::sscplan::testing::TempDir;

struct RunResult {
    int exitCode = -1;  // -1 when it did not end by itself within the limit
    std::string out;
    std::string err;
};

// Runs `ssc-server args...` to its end, at most `limit`.
RunResult runServer(const std::vector<std::string>& args,
                    std::chrono::milliseconds limit = std::chrono::seconds(20));

// `ssc-server serve ...` running beside the test; killed and reaped by the destructor.
class ServerProcess {
  public:
    // Starts the server and waits (at most 15 s) for its `listeners` "listening on" lines;
    // nullptr when they do not come (the reason is in `failure`).
    static std::unique_ptr<ServerProcess> start(const std::vector<std::string>& serveArgs,
                                                std::size_t listeners, std::string& failure);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // "http://127.0.0.1:PORT" of each listener, in the order of the --listen options.
    const std::vector<std::string>& urls() const { return urls_; }
    int port(std::size_t listener) const;

    // Sends `signal` and waits (at most `limit`) for the end. The exit status, -1 when
    // ended by a signal or still running after `limit`.
    int stop(int signal, std::chrono::milliseconds limit = std::chrono::seconds(15));
    // What the server has written to stderr so far.
    std::string errText() const;

  private:
    ServerProcess() = default;

    pid_t pid_ = -1;
    int outFd_ = -1;
    std::string errPath_;
    std::unique_ptr<TempDir> errDir_;
    std::vector<std::string> urls_;
};

}  // namespace sscplan::appserver::testing
