#include "tests/updater/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace sscplan::testing {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Starts the program with its stdout and stderr on the write ends given (-1: inherited).
pid_t spawn(const std::string& program, const std::vector<std::string>& arguments,
            const std::vector<std::string>& extraEnvironment, int out, int err) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) env.emplace_back(*entry);
    env.insert(env.end(), extraEnvironment.begin(), extraEnvironment.end());
    std::vector<char*> argvPointers = pointersTo(argv);
    std::vector<char*> envPointers = pointersTo(env);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out >= 0) posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    if (err >= 0) posix_spawn_file_actions_adddup2(&actions, err, STDERR_FILENO);
    pid_t pid = -1;
    if (::posix_spawn(&pid, program.c_str(), &actions, nullptr, argvPointers.data(),
                      envPointers.data()) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Appends what is ready on `fd`; false at its end.
bool drain(int fd, std::string& into) {
    char buffer[4096];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) return errno == EINTR || errno == EAGAIN;
    if (n == 0) return false;
    into.append(buffer, static_cast<std::size_t>(n));
    return true;
}

int exitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

}  // namespace

ChildResult runChild(const std::string& program, const std::vector<std::string>& arguments,
                     const std::vector<std::string>& extraEnvironment, std::chrono::seconds limit) {
    ChildResult result;
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return result;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return result;
    }
    const pid_t pid = spawn(program, arguments, extraEnvironment, out[1], err[1]);
    ::close(out[1]);
    ::close(err[1]);
    const auto deadline = Clock::now() + limit;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    int open = pid > 0 ? 2 : 0;
    while (open > 0 && Clock::now() < deadline) {
        if (::poll(fds, 2, 100) <= 0) continue;
        for (pollfd& fd : fds) {
            if (fd.fd < 0 || fd.revents == 0) continue;
            if (!drain(fd.fd, fd.fd == out[0] ? result.out : result.err)) {
                fd.fd = -1;
                --open;
            }
        }
    }
    ::close(out[0]);
    ::close(err[0]);
    if (pid <= 0) return result;
    if (open > 0) ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = open > 0 ? -1 : exitCodeOf(status);
    return result;
}

BackgroundChild::BackgroundChild(const std::string& program,
                                 const std::vector<std::string>& arguments) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return;
    pid_ = spawn(program, arguments, {}, out[1], -1);
    ::close(out[1]);
    out_ = out[0];
}

BackgroundChild::~BackgroundChild() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (Clock::now() > deadline) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    if (out_ >= 0) ::close(out_);
}

std::optional<std::string> BackgroundChild::awaitLine(const std::string& prefix,
                                                      std::chrono::seconds limit) {
    const auto deadline = Clock::now() + limit;
    for (;;) {
        std::size_t end;
        while ((end = pending_.find('\n')) != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            if (line.starts_with(prefix)) return line;
        }
        if (out_ < 0 || Clock::now() >= deadline) return std::nullopt;
        pollfd fd{out_, POLLIN, 0};
        if (::poll(&fd, 1, 100) > 0 && !drain(out_, pending_)) return std::nullopt;
    }
}

}  // namespace sscplan::testing
