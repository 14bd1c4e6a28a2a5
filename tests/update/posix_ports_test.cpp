#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/run_directory.h"
#include "tests/support/temp_dir.h"

namespace sscplan {
namespace {

using testing::readTestFile;
using testing::TempDir;
using testing::writeTestFile;

TEST(AtomicWriteTest, ReplacesTheFileWithExactlyTheGivenMode) {
    TempDir dir;
    const std::string path = dir.file("program");
    writeTestFile(path, "old");
    const mode_t oldMask = ::umask(077);
    EXPECT_FALSE(writeFileAtomically(path, std::string("new\0bytes", 9), 0751));
    ::umask(oldMask);
    EXPECT_EQ(readTestFile(path), std::string("new\0bytes", 9));
    EXPECT_EQ(filePermissions(path), 0751u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file is left";
}

TEST(AtomicWriteTest, AFailureLeavesNothingBehind) {
    TempDir dir;
    const std::string path = dir.file("missing-directory/program");
    EXPECT_EQ(writeFileAtomically(path, "new", 0644), std::errc::no_such_file_or_directory);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(FileStoreTest, WritesExecutablesAndRemoves) {
    TempDir dir;
    PosixFileStore files;
    const std::string path = dir.file("更新器");
    EXPECT_FALSE(files.exists(path));
    EXPECT_FALSE(files.remove(path));
    const std::uint8_t bytes[] = {1, 2, 3};
    ASSERT_TRUE(files.writeExecutable(path, bytes));
    EXPECT_TRUE(files.exists(path));
    EXPECT_EQ(readTestFile(path), "\x01\x02\x03");
    EXPECT_EQ(filePermissions(path), kExecutableMode);
    EXPECT_TRUE(files.remove(path));
    EXPECT_FALSE(files.exists(path));
}

TEST(ReadWholeFileTest, HonoursTheLimit) {
    TempDir dir;
    writeTestFile(dir.file("f"), "12345");
    EXPECT_EQ(readWholeFile(dir.file("f"), 5), "12345");
    EXPECT_EQ(readWholeFile(dir.file("f"), 4), std::nullopt);
    EXPECT_EQ(readWholeFile(dir.file("missing"), 5), std::nullopt);
}

TEST(DirectoryOfTest, Paths) {
    EXPECT_EQ(directoryOf("/a/b/c"), "/a/b");
    EXPECT_EQ(directoryOf("/c"), "/");
    EXPECT_EQ(directoryOf("c"), ".");
}

TEST(RunDirectoryTest, HoldsThisTestProgram) {
    const std::string program = programFilePath();
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(std::filesystem::path(program).parent_path().string(), runDirectory());
    EXPECT_TRUE(std::filesystem::equivalent(program, "/proc/self/exe"));
}

// Waits, at most ten seconds, for a file that a started program writes.
std::string awaitFile(const std::string& path) {
    for (int i = 0; i < 1000 && !pathExists(path); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return readTestFile(path);
}

TEST(ProcessStarterTest, EachArgumentIsOneArgvEntryAndNoShellTakesPart) {
    TempDir dir;
    const std::string script = dir.file("args.sh");
    const std::string out = dir.file("out");
    writeTestFile(script,
                  "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\"; done > \"$1.tmp\"\n"
                  "mv \"$1.tmp\" \"$1\"\n");
    ::chmod(script.c_str(), 0755);
    PosixProcessStarter starter;
    ASSERT_TRUE(starter.startDetached(script, {out, "a b", "$HOME", "", "x;y"}));
    EXPECT_EQ(awaitFile(out), "[" + out + "][a b][$HOME][][x;y]");
}

TEST(ProcessStarterTest, AProgramThatCannotRunIsReported) {
    TempDir dir;
    PosixProcessStarter starter;
    EXPECT_FALSE(starter.startDetached(dir.file("missing"), {}));
    writeTestFile(dir.file("not-executable"), "#!/bin/sh\n");
    ::chmod(dir.file("not-executable").c_str(), 0644);
    EXPECT_FALSE(starter.startDetached(dir.file("not-executable"), {}));
}

}  // namespace
}  // namespace sscplan
