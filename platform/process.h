#pragma once

#include <string>
#include <vector>

#include "platform/ports.h"

namespace sscplan {

// Starts programs detached from this process: in a session of their own, reparented to
// init (no zombie is left to reap), with this process's working directory, environment and
// standard streams. No shell takes part: each argument reaches the program as one argv
// entry, spaces and all. True once the program image has been loaded; false when it could
// not be (missing, not executable, ...).
class PosixProcessStarter final : public ProcessStarter {
  public:
    bool startDetached(const std::string& program,
                       const std::vector<std::string>& arguments) override;
};

}  // namespace sscplan
