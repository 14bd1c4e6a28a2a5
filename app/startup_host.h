#pragma once

#include <string>

namespace sscplan {

// The loading window as start-up sees it.
class LoadingScreen {
  public:
    virtual ~LoadingScreen() = default;
    // True when the window was opened now; false when it was open already (nothing changes).
    virtual bool show(const std::string& text) = 0;
    // True when an open window was closed.
    virtual bool close() = 0;
};

// What start-up asks of the main window.
class StartupHost {
  public:
    virtual ~StartupHost() = default;
    // The web panel starts loading `url`; nothing waits for it.
    virtual void setWebAddress(const std::string& url) = 0;
    // Stores the chosen formula period count and builds the plans when it changed.
    virtual void applyFormulaPeriods() = 0;
};

}  // namespace sscplan
