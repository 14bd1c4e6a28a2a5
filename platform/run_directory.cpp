#include "platform/run_directory.h"

#include <unistd.h>

#include <climits>

#include "platform/files.h"

namespace sscplan {

std::string programFilePath() {
    std::string path(PATH_MAX, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= path.size()) return {};
    path.resize(static_cast<std::size_t>(n));
    return path;
}

std::string runDirectory() {
    const std::string program = programFilePath();
    return program.empty() ? std::string() : directoryOf(program);
}

}  // namespace sscplan
