#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/edition.h"
#include "platform/ports.h"
#include "platform/program_ports.h"

namespace sscplan {

// What the update check reaches outside itself.
struct UpdateCheckPorts {
    LoadingWindowCloser& loadingWindow;
    EventPump& events;
    MessageBoxes& messages;
    FileStore& files;
    ProcessStarter& processes;
    ProgramEnd& programEnd;
};

// The question put to the user when a newer version is offered.
std::string updatePrompt(const EditionInfo& edition, std::string_view offeredVersion);

// The name of the desktop program's file, which the updater replaces (no ".exe" here).
std::string programFileName(const EditionInfo& edition);

// The updater's five arguments: title, our version, the offered version and the update
// address as received, and the program file name.
std::vector<std::string> updaterArguments(const EditionInfo& edition,
                                          const std::string& offeredVersion,
                                          const std::string& updateAddress);

// The start-up's one look at the version that the server offers, with the hand-over to the
// updater program when the user accepts it.
class UpdateCheck {
  public:
    // `updaterImage` is the updater program written to `updaterPath`; it must outlive this.
    UpdateCheck(const EditionInfo& edition, std::string updaterPath,
                std::span<const std::uint8_t> updaterImage, UpdateCheckPorts ports);

    // True: no newer version, start-up goes on. False: the user declined, start-up ends.
    // When the user accepts, the updater is written (unless a file is already there),
    // started detached and the program ended with exit code 0; should the ending port
    // return, the result is false so that start-up goes no further.
    bool checkUpdate(const std::string& offeredVersion, const std::string& updateAddress);

  private:
    void handOver(const std::string& offeredVersion, const std::string& updateAddress);

    const EditionInfo& edition_;
    std::string updaterPath_;
    std::span<const std::uint8_t> updaterImage_;
    UpdateCheckPorts ports_;
};

}  // namespace sscplan
