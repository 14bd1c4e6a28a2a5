#include "update/leftover_updater.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/support/temp_dir.h"

namespace sscplan {
namespace {

using testing::TempDir;

TEST(LeftoverUpdaterTest, TheUpdaterStandsBesideTheProgram) {
    EXPECT_EQ(updaterPathIn("/opt/zindra"), "/opt/zindra/更新器");
}

TEST(LeftoverUpdaterTest, RemovesALeftoverUpdater) {
    TempDir dir;
    const std::string updater = updaterPathIn(dir.path().string());
    testing::writeTestFile(updater, "old updater");
    PosixFileStore files;
    removeLeftoverUpdater(files, updater);
    EXPECT_FALSE(pathExists(updater));
}

TEST(LeftoverUpdaterTest, NothingThereIsFine) {
    TempDir dir;
    const std::string updater = updaterPathIn(dir.path().string());
    PosixFileStore files;
    removeLeftoverUpdater(files, updater);
    EXPECT_FALSE(pathExists(updater));
    EXPECT_TRUE(pathExists(dir.path().string()));
}

}  // namespace
}  // namespace sscplan
