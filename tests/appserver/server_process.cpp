#include "tests/appserver/server_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace sscplan::appserver::testing {
namespace {

using Clock = std::chrono::steady_clock;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Spawns ssc-server with stdout on `outFd` and stderr into `errPath`.
pid_t spawnServer(const std::vector<std::string>& args, int outFd, const std::string& errPath) {
    std::vector<std::string> argv = {SSC_SERVER_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (std::string& arg : argv) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    if (posix_spawn(&pid, SSC_SERVER_PATH, &actions, nullptr, pointers.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Waits for `pid` until `deadline`; the exit status, -1 for a signal, nullopt-like -2 when
// it is still running.
int waitUntil(pid_t pid, Clock::time_point deadline) {
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done < 0 || Clock::now() >= deadline) return -2;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace

RunResult runServer(const std::vector<std::string>& args, std::chrono::milliseconds limit) {
    TempDir dir;
    const std::string outPath = dir.file("out");
    const int outFd = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    RunResult result;
    const pid_t pid = spawnServer(args, outFd, dir.file("err"));
    ::close(outFd);
    if (pid < 0) return result;
    result.exitCode = waitUntil(pid, Clock::now() + limit);
    if (result.exitCode == -2) {
        ::kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        result.exitCode = -1;
    }
    result.out = readFile(outPath);
    result.err = readFile(dir.file("err"));
    return result;
}

std::unique_ptr<ServerProcess> ServerProcess::start(const std::vector<std::string>& serveArgs,
                                                    std::size_t listeners, std::string& failure) {
    std::unique_ptr<ServerProcess> server(new ServerProcess());
    server->errDir_ = std::make_unique<TempDir>();
    server->errPath_ = server->errDir_->file("err");
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        failure = "no pipe";
        return nullptr;
    }
    std::vector<std::string> args = {"serve"};
    args.insert(args.end(), serveArgs.begin(), serveArgs.end());
    server->pid_ = spawnServer(args, pipeFds[1], server->errPath_);
    ::close(pipeFds[1]);
    server->outFd_ = pipeFds[0];
    if (server->pid_ < 0) {
        failure = "cannot start " SSC_SERVER_PATH;
        return nullptr;
    }
    const std::string prefix = "listening on ";
    const auto deadline = Clock::now() + std::chrono::seconds(15);
    std::string pending;
    while (server->urls_.size() < listeners) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd fd{server->outFd_, POLLIN, 0};
        if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
            failure = "no listening line in time; stderr: " + server->errText();
            return nullptr;
        }
        char buffer[512];
        const ssize_t got = ::read(server->outFd_, buffer, sizeof buffer);
        if (got <= 0) {
            failure = "the server ended; stderr: " + server->errText();
            return nullptr;
        }
        pending.append(buffer, static_cast<std::size_t>(got));
        for (std::size_t eol; (eol = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, eol);
            pending.erase(0, eol + 1);
            if (line.starts_with(prefix)) server->urls_.push_back(line.substr(prefix.size()));
        }
    }
    return server;
}

ServerProcess::~ServerProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (outFd_ >= 0) ::close(outFd_);
}

int ServerProcess::port(std::size_t listener) const {
    const std::string& url = urls_.at(listener);
    return std::atoi(url.substr(url.rfind(':') + 1).c_str());
}

int ServerProcess::stop(int signal, std::chrono::milliseconds limit) {
    if (pid_ <= 0) return -1;
    ::kill(pid_, signal);
    const int status = waitUntil(pid_, Clock::now() + limit);
    if (status == -2) return -1;
    pid_ = -1;
    return status;
}

std::string ServerProcess::errText() const { return readFile(errPath_); }

}  // namespace sscplan::appserver::testing
