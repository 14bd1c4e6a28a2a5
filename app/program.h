#pragma once

#include <memory>
#include <optional>

#include "app/app_state.h"
#include "common/edition.h"

namespace sscplan {

class MainWindow;
class MessageBoxes;
class ProcessStarter;
class ProgramEnd;
class UrlOpener;
struct ProgramParts;

// The fixed endpoints of this build: the primary server (host from the build's
// SSCPLAN_PRIMARY_HOST) on port 19300, the fallback on this machine's port 19200.
Endpoints fixedEndpoints();

// Ports a test replaces; a null entry means the program's own Qt or POSIX one.
struct ProgramPorts {
    MessageBoxes* messages = nullptr;
    UrlOpener* urls = nullptr;
    ProcessStarter* processes = nullptr;
    ProgramEnd* programEnd = nullptr;
};

// The composition root: creates every process-wide object once, runs the module
// initialisers and the main window's start-up, and releases everything in order when it
// is destroyed (the exit routine). Needs a QApplication.
class Program {
  public:
    // `edition` replaces this build's edition (before its bet-count range is derived);
    // the program itself always runs with its own.
    explicit Program(Endpoints endpoints, ProgramPorts ports = {},
                     std::optional<EditionInfo> edition = std::nullopt);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The initialisers and the main window's creation handler. True when the main window
    // was shown; false when start-up failed (the window is destroyed then).
    bool start();
    // The initialisers up to the loaded, still hidden main window whose creation handler
    // has not run yet. start() does this first.
    void loadMainWindow();
    // start, then the message loop until the main window is closed. Always 0.
    int run();

    // The main window; nullptr before it is loaded and after a failed start.
    MainWindow* window() const;
    ProgramParts& parts() { return *parts_; }

  private:
    std::unique_ptr<ProgramParts> parts_;
};

}  // namespace sscplan
