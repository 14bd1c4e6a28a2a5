// The whole update road: the server offers a signed file, the update check hands over to
// the real updater, and the updater replaces a stand-in of the desktop program and starts
// it; or refuses, leaving the program file as it was.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "common/edition.h"
#include "platform/files.h"
#include "platform/process.h"
#include "tests/update/fake_ports.h"
#include "tests/support/temp_dir.h"
#include "tests/updater/child_process.h"
#include "tests/updater/fake_http_server.h"
#include "update/leftover_updater.h"
#include "update/update_check.h"
#include "updater/updater_image.h"

#ifdef SSCPLAN_SSC_SERVER
#include "platform/http_curl.h"
#include "server/cloud_client.h"
#endif

namespace sscplan {
namespace {

using testing::readTestFile;
using testing::writeTestFile;

const std::vector<std::string> kUpdaterEnvironment = {"QT_QPA_PLATFORM=offscreen",
                                                      "SSCPLAN_UPDATER_NONINTERACTIVE=1"};
const std::string kOldProgram = "#!/bin/sh\necho old program\n";

// What the server offers: the settings "version" and "proupurl".
struct Offer {
    std::string version;
    std::string address;
};

class UpdateHandOverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::string(SSCPLAN_UPDATE_DEV_PRIVATE_KEY).empty()) {
            GTEST_SKIP() << "a release key is configured; the build tree holds no private key";
        }
        std::filesystem::create_directories(programDirectory_);
        std::filesystem::create_directories(offerDirectory_);
        writeTestFile(programPath(), kOldProgram);
        ::chmod(programPath().c_str(), 0755);
        marker_ = dir_.file("marker");
        // The new program tells where it runs: the working directory it was started in.
        newProgram_ = "#!/bin/sh\npwd > '" + marker_ + ".tmp' && mv '" + marker_ + ".tmp' '" +
                      marker_ + "'\n";
    }

    std::string programPath() const { return programDirectory_ + "/" + edition_.fileStem; }
    std::string updaterPath() const { return updaterPathIn(programDirectory_); }

    // Writes the update file, executable, and signs it with `sscplan sign`.
    std::string makeSignedFile(const std::string& name, const std::string& bytes,
                               const std::string& signedVersion,
                               const std::string& privateKey = SSCPLAN_UPDATE_DEV_PRIVATE_KEY) {
        const std::string path = offerDirectory_ + "/" + name;
        writeTestFile(path, bytes);
        ::chmod(path.c_str(), 0755);
        const testing::ChildResult signing =
            testing::runChild(SSCPLAN_CLI_PROGRAM, {"sign", privateKey, signedVersion, path});
        EXPECT_EQ(signing.exitCode, 0) << signing.err;
        return path;
    }

    // Starts the server offering `file` (and file + ".sig") as `version`.
    Offer offer(const std::string& version, const std::string& file) {
#ifdef SSCPLAN_SSC_SERVER
        server_ = std::make_unique<testing::BackgroundChild>(
            SSCPLAN_SSC_SERVER,
            std::vector<std::string>{"serve", "--db", dir_.file("draws.sqlite"), "--listen",
                                     "127.0.0.1:0", "--no-simulate", "--offer-version", version,
                                     "--offer-file", file});
        const std::optional<std::string> line =
            server_->awaitLine("listening on http://", std::chrono::seconds(20));
        if (!line) {
            ADD_FAILURE() << "ssc-server did not start listening";
            return {};
        }
        const std::string base = line->substr(std::string("listening on ").size());
        // The settings come as the desktop program gets them: from "init".
        const CurlGlobal curl;
        CurlTransport transport;
        const SystemClock clock;
        NoEventPump events;
        CloudClient client(transport, clock, events);
        if (!client.init(base + "/appinit.php", edition_.appId)) {
            ADD_FAILURE() << "init failed: " << client.lastError();
            return {};
        }
        InitSettings settings;
        client.copySettings(settings);
        return {settings.version, settings.proupurl};
#else
        const std::string path = "/update/" + std::filesystem::path(file).filename().string();
        fake_.serve(path, readTestFile(file));
        fake_.serve(path + ".sig", readTestFile(file + ".sig"));
        return {version, fake_.url(path)};
#endif
    }

    // The updater written out from the image that the desktop program carries.
    void writeUpdater() {
        PosixFileStore files;
        ASSERT_TRUE(files.writeExecutable(updaterPath(), updaterImage()));
    }

    // Runs the written updater with the five arguments the update check passes.
    testing::ChildResult runUpdater(const Offer& offered) {
        return testing::runChild(updaterPath(),
                                 updaterArguments(edition_, offered.version, offered.address),
                                 kUpdaterEnvironment);
    }

    void expectOldProgramKept(const testing::ChildResult& updater, const std::string& why) {
        EXPECT_EQ(updater.exitCode, 1);
        EXPECT_NE(updater.err.find(why), std::string::npos) << updater.err;
        EXPECT_EQ(readTestFile(programPath()), kOldProgram);
        EXPECT_EQ(filePermissions(programPath()), 0755u);
        EXPECT_FALSE(pathExists(marker_));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(programDirectory_),
                                std::filesystem::directory_iterator()),
                  2)
            << "only the program and the updater stand in the program's directory";
    }

    // Waits (at most a minute) for the new program's marker file.
    bool awaitMarker() {
        for (int i = 0; i < 6000 && !pathExists(marker_); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return pathExists(marker_);
    }

    testing::TempDir dir_;
    const EditionInfo edition_ = thisEdition();
    const std::string programDirectory_ = dir_.file("bin");
    const std::string offerDirectory_ = dir_.file("offer");
    std::string marker_;
    std::string newProgram_;
#ifdef SSCPLAN_SSC_SERVER
    std::unique_ptr<testing::BackgroundChild> server_;
#else
    testing::FakeHttpServer fake_;
#endif
};

TEST_F(UpdateHandOverTest, TheUpdateCheckHandsOverAndTheSignedProgramRuns) {
    const std::string file = makeSignedFile("zindra-1.5", newProgram_, "1.5");
    const Offer offered = offer("1.5", file);
    ASSERT_EQ(offered.version, "1.5");

    for (const std::string& variable : kUpdaterEnvironment) {
        const std::size_t equals = variable.find('=');
        ::setenv(variable.substr(0, equals).c_str(), variable.substr(equals + 1).c_str(), 1);
    }
    testing::RecordingPorts window;  // answers OK
    PosixFileStore files;
    PosixProcessStarter processes;
    UpdateCheck check(edition_, updaterPath(), updaterImage(),
                      {window, window, window, files, processes, window});
    EXPECT_FALSE(check.checkUpdate(offered.version, offered.address));
    EXPECT_EQ(window.exitCode, 0);
    ASSERT_EQ(window.prompts.size(), 1u);

    ASSERT_TRUE(awaitMarker()) << "the new program did not run";
    EXPECT_EQ(readTestFile(programPath()), newProgram_);
    EXPECT_EQ(readTestFile(marker_), std::filesystem::current_path().string() + "\n");
    EXPECT_EQ(filePermissions(programPath()).value_or(0) & 0100, 0100u);
}

TEST_F(UpdateHandOverTest, ASignatureByAnotherKeyIsRefused) {
    const std::string otherKey = dir_.file("other.key");
    ASSERT_EQ(testing::runChild(SSCPLAN_CLI_PROGRAM, {"keygen", otherKey, dir_.file("other.pub")})
                  .exitCode,
              0);
    const Offer offered = offer("1.5", makeSignedFile("zindra-1.5", newProgram_, "1.5", otherKey));
    writeUpdater();
    expectOldProgramKept(runUpdater(offered), "更新失败：签名无效");
}

TEST_F(UpdateHandOverTest, AnOldBuildOfferedAsANewVersionIsRefused) {
    const Offer offered = offer("1.5", makeSignedFile("zindra-1.4", newProgram_, "1.4"));
    writeUpdater();
    expectOldProgramKept(runUpdater(offered), "更新失败：签名无效");
}

TEST_F(UpdateHandOverTest, ATruncatedFileIsRefused) {
    const std::string file = makeSignedFile("zindra-1.5", newProgram_, "1.5");
    writeTestFile(file, newProgram_.substr(0, newProgram_.size() / 2));
    const Offer offered = offer("1.5", file);
    writeUpdater();
    expectOldProgramKept(runUpdater(offered), "更新失败：签名无效");
}

TEST_F(UpdateHandOverTest, AServerGoneMidDownloadLeavesTheProgram) {
    const std::string file = makeSignedFile("zindra-1.5", newProgram_, "1.5");
    testing::FakeHttpServer breaking;
    breaking.serveBrokenOff("/update/zindra-1.5", readTestFile(file), newProgram_.size() / 2);
    breaking.serve("/update/zindra-1.5.sig", readTestFile(file + ".sig"));
    writeUpdater();
    expectOldProgramKept(runUpdater({"1.5", breaking.url("/update/zindra-1.5")}),
                         "更新失败：下载不完整");
}

TEST_F(UpdateHandOverTest, NoServerLeavesTheProgram) {
    std::string address;
    {
        testing::FakeHttpServer gone;
        address = gone.url("/update/zindra-1.5");
    }
    writeUpdater();
    expectOldProgramKept(runUpdater({"1.5", address}), "更新失败：服务器没有应答");
}

}  // namespace
}  // namespace sscplan
