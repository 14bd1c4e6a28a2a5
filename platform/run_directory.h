#pragma once

#include <string>

namespace sscplan {

// The absolute path of this process's program file (from /proc/self/exe); empty when the
// system does not tell.
std::string programFilePath();

// The directory that holds the program file; empty when the system does not tell.
std::string runDirectory();

}  // namespace sscplan
