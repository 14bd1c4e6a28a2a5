#include "update/leftover_updater.h"

namespace sscplan {

std::string updaterPathIn(const std::string& runDirectory) { return runDirectory + "/更新器"; }

void removeLeftoverUpdater(FileStore& files, const std::string& updaterPath) {
    if (files.exists(updaterPath)) files.remove(updaterPath);
}

}  // namespace sscplan
