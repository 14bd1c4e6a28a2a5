#pragma once

#include <string>

#include "platform/program_ports.h"

namespace sscplan {

// Where the update hand-over writes the updater: beside the program file.
std::string updaterPathIn(const std::string& runDirectory);

// Removes the updater that an earlier hand-over left at `updaterPath`; nothing there, or a
// file that cannot be removed, is not a failure.
void removeLeftoverUpdater(FileStore& files, const std::string& updaterPath);

}  // namespace sscplan
