#pragma once

#include <string_view>

namespace sscplan::appserver {

// Writes "ssc-server: " + text + "\n" to stderr in one write, so that lines of concurrent
// requests never interleave.
void logLine(std::string_view text);

}  // namespace sscplan::appserver
