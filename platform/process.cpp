#include "platform/process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace sscplan {
namespace {

// Only async-signal-safe calls between fork and exec: the caller may have threads.
[[noreturn]] void forkAndExec(const char* program, char* const* argv, int statusPipe) {
    if (::setsid() < 0) ::_exit(1);
    const pid_t grandchild = ::fork();
    if (grandchild < 0) ::_exit(1);
    if (grandchild > 0) ::_exit(0);
    ::execv(program, argv);
    const int error = errno;
    ssize_t ignored = ::write(statusPipe, &error, sizeof error);
    (void)ignored;
    ::_exit(127);
}

}  // namespace

bool PosixProcessStarter::startDetached(const std::string& program,
                                        const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 2);
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return false;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        return false;
    }
    if (child == 0) {
        ::close(pipeEnds[0]);
        forkAndExec(program.c_str(), argv.data(), pipeEnds[1]);
    }
    ::close(pipeEnds[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes on a successful exec (close-on-exec) or carries exec's errno; it
    // also closes without data when the middle process could not fork.
    int execError = 0;
    ssize_t n;
    do {
        n = ::read(pipeEnds[0], &execError, sizeof execError);
    } while (n < 0 && errno == EINTR);
    ::close(pipeEnds[0]);
    const bool middleForked = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return middleForked && n == 0;
}

}  // namespace sscplan
