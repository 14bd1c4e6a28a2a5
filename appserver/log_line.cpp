#include "appserver/log_line.h"

#include <unistd.h>

#include <cerrno>
#include <string>

namespace sscplan::appserver {

void logLine(std::string_view text) {
    std::string line = "ssc-server: ";
    line += text;
    line += '\n';
    std::size_t written = 0;
    while (written < line.size()) {
        const ssize_t n = ::write(STDERR_FILENO, line.data() + written, line.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;  // nowhere to log to; the request goes on regardless
        written += static_cast<std::size_t>(n);
    }
}

}  // namespace sscplan::appserver
