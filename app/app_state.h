#pragma once

#include <cstdint>
#include <string>

namespace sscplan {

// The process-wide values of the program besides the edition record.
struct AppState {
    std::string updaterPath;  // run directory + "/更新器"
    std::string settingsPath;  // current directory + "/配置.ini"; empty until the window is created
    std::int32_t formulaPeriods = 0;
    bool startupDone = false;
};

// The addresses that start-up initialises the server connection with, first to last.
struct Endpoints {
    std::string primary;
    std::string fallback;
};

}  // namespace sscplan
