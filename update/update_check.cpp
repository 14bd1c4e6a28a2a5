#include "update/update_check.h"

#include <utility>

#include "update/version_number.h"

namespace sscplan {

std::string updatePrompt(const EditionInfo& edition, std::string_view offeredVersion) {
    std::string prompt = edition.title;
    prompt += "已经更新至";
    prompt += offeredVersion;
    prompt += "\r\n点击确定立即更新";
    return prompt;
}

std::string programFileName(const EditionInfo& edition) { return edition.fileStem; }

std::vector<std::string> updaterArguments(const EditionInfo& edition,
                                          const std::string& offeredVersion,
                                          const std::string& updateAddress) {
    return {edition.title, edition.version, offeredVersion, updateAddress,
            programFileName(edition)};
}

UpdateCheck::UpdateCheck(const EditionInfo& edition, std::string updaterPath,
                         std::span<const std::uint8_t> updaterImage, UpdateCheckPorts ports)
    : edition_(edition),
      updaterPath_(std::move(updaterPath)),
      updaterImage_(updaterImage),
      ports_(ports) {}

bool UpdateCheck::checkUpdate(const std::string& offeredVersion, const std::string& updateAddress) {
    if (!isNewerVersion(offeredVersion, edition_.version)) return true;
    ports_.loadingWindow.closeLoadingWindow();
    ports_.events.runPending();
    if (!ports_.messages.confirm(updatePrompt(edition_, offeredVersion))) return false;
    handOver(offeredVersion, updateAddress);
    return false;
}

// A failed write or start is not reported: the program ends all the same, and the next
// start offers the update again.
void UpdateCheck::handOver(const std::string& offeredVersion, const std::string& updateAddress) {
    if (!ports_.files.exists(updaterPath_)) {
        ports_.files.writeExecutable(updaterPath_, updaterImage_);
    }
    ports_.processes.startDetached(updaterPath_,
                                   updaterArguments(edition_, offeredVersion, updateAddress));
    ports_.programEnd.end(0);
}

}  // namespace sscplan
