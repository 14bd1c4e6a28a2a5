#include "updater/core/updater_job.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>

#include "platform/files.h"
#include "tests/support/temp_dir.h"

namespace sscplan {
namespace {

using testing::readTestFile;
using testing::TempDir;

constexpr const char* kAddress = "http://127.0.0.1:1/update/zindra";
constexpr const char* kProgram = "Zindra平刷后二直选单式";
const std::string kOldProgram = "#!/bin/sh\necho old\n";
const std::string kNewProgram = "#!/bin/sh\necho new\n";

class FakeDownloader final : public Downloader {
  public:
    std::map<std::string, DownloadResult> answers;
    std::vector<std::size_t> caps;

    DownloadResult download(const std::string& url, const DownloadLimits& limits,
                            const DownloadProgress&) override {
        caps.push_back(limits.maxBytes);
        const auto found = answers.find(url);
        if (found == answers.end()) return {DownloadStatus::kHttpStatus, 404, {}};
        return found->second;
    }
};

class FakeStarter final : public ProcessStarter {
  public:
    bool succeeds = true;
    std::vector<std::pair<std::string, std::vector<std::string>>> starts;

    bool startDetached(const std::string& program,
                       const std::vector<std::string>& arguments) override {
        starts.emplace_back(program, arguments);
        return succeeds;
    }
};

UpdatePrivateKey newKey() {
    const auto key = generateUpdatePrivateKey();
    EXPECT_TRUE(key);
    return key.value_or(UpdatePrivateKey{});
}

class UpdaterJobTest : public ::testing::Test {
  public:
    void SetUp() override {
        testing::writeTestFile(programPath(), kOldProgram);
        ::chmod(programPath().c_str(), 0750);
        offer(kNewProgram, signatureText(*signUpdate(key_, "1.5", kNewProgram)));
    }

    std::string programPath() const { return dir_.file(kProgram); }

    void offer(const std::string& file, const std::string& signature) {
        downloader_.answers[kAddress] = {DownloadStatus::kOk, 200, file};
        downloader_.answers[std::string(kAddress) + ".sig"] = {DownloadStatus::kOk, 200, signature};
    }

    UpdaterOutcome run(const std::string& directory) {
        const UpdaterRequest request{"Zindra平刷后二直选单式", "1.41", "1.5", kAddress, kProgram};
        return runUpdater(request, directory, updatePublicKeyOf(key_), downloader_, starter_, {});
    }
    UpdaterOutcome run() { return run(dir_.path().string()); }

    void expectProgramUnchanged() {
        EXPECT_EQ(readTestFile(programPath()), kOldProgram);
        EXPECT_EQ(filePermissions(programPath()), 0750u);
        EXPECT_TRUE(starter_.starts.empty());
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()),
                                std::filesystem::directory_iterator()),
                  1)
            << "nothing is left beside the program file";
    }

    TempDir dir_;
    UpdatePrivateKey key_ = newKey();
    FakeDownloader downloader_;
    FakeStarter starter_;
};

TEST_F(UpdaterJobTest, ASignedUpdateReplacesTheProgramAndStartsIt) {
    const UpdaterOutcome outcome = run();
    EXPECT_TRUE(outcome.replaced);
    EXPECT_TRUE(outcome.started);
    EXPECT_EQ(outcome.message, "");
    EXPECT_EQ(readTestFile(programPath()), kNewProgram);
    EXPECT_EQ(filePermissions(programPath()), 0750u);
    ASSERT_EQ(starter_.starts.size(), 1u);
    EXPECT_EQ(starter_.starts[0].first, programPath());
    EXPECT_TRUE(starter_.starts[0].second.empty());
    EXPECT_THAT(downloader_.caps, ::testing::ElementsAre(64u << 20, 1024u));
}

TEST_F(UpdaterJobTest, TheOwnerCanAlwaysRunTheNewProgram) {
    ::chmod(programPath().c_str(), 0640);
    ASSERT_TRUE(run().replaced);
    EXPECT_EQ(filePermissions(programPath()), 0740u);
}

struct RefusalCase {
    const char* name;
    std::function<void(UpdaterJobTest&, FakeDownloader&, const UpdatePrivateKey&)> arrange;
    std::string message;
};

class UpdaterRefusalTest : public UpdaterJobTest,
                           public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(UpdaterRefusalTest, LeavesTheProgramAsItWasAndSaysWhy) {
    GetParam().arrange(*this, downloader_, key_);
    const UpdaterOutcome outcome = run();
    EXPECT_FALSE(outcome.replaced);
    EXPECT_FALSE(outcome.started);
    EXPECT_EQ(outcome.message, GetParam().message);
    expectProgramUnchanged();
}

std::string signedAs(const UpdatePrivateKey& key, const std::string& version,
                     const std::string& bytes) {
    return signatureText(*signUpdate(key, version, bytes));
}

DownloadResult failed(DownloadStatus status, long http = 0) { return {status, http, {}}; }

INSTANTIATE_TEST_SUITE_P(
    Cases, UpdaterRefusalTest,
    ::testing::Values(
        RefusalCase{"WrongKey",
                    [](auto& t, auto&, auto&) {
                        t.offer(kNewProgram, signedAs(newKey(), "1.5", kNewProgram));
                    },
                    "更新失败：签名无效"},
        RefusalCase{"SignedAsAnotherVersion",
                    [](auto& t, auto&, auto& key) {
                        t.offer(kNewProgram, signedAs(key, "1.4", kNewProgram));
                    },
                    "更新失败：签名无效"},
        RefusalCase{"FlippedByte",
                    [](auto& t, auto&, auto& key) {
                        std::string bytes = kNewProgram;
                        bytes[12] ^= 0x20;
                        t.offer(bytes, signedAs(key, "1.5", kNewProgram));
                    },
                    "更新失败：签名无效"},
        RefusalCase{"TruncatedFile",
                    [](auto& t, auto&, auto& key) {
                        t.offer(kNewProgram.substr(0, 10), signedAs(key, "1.5", kNewProgram));
                    },
                    "更新失败：签名无效"},
        RefusalCase{"MalformedSignature",
                    [](auto& t, auto&, auto&) { t.offer(kNewProgram, "not a signature\n"); },
                    "更新失败：签名格式无效"},
        RefusalCase{"NoSignature",
                    [](auto&, auto& d, auto&) { d.answers.erase(std::string(kAddress) + ".sig"); },
                    "更新失败：无法下载签名，服务器拒绝下载（HTTP 404）"},
        RefusalCase{"EmptyFile",
                    [](auto& t, auto&, auto& key) { t.offer("", signedAs(key, "1.5", "")); },
                    "更新失败：更新文件为空"},
        RefusalCase{
            "NoAnswer",
            [](auto&, auto& d, auto&) { d.answers[kAddress] = failed(DownloadStatus::kNoAnswer); },
            "更新失败：服务器没有应答"},
        RefusalCase{"BrokenOff",
                    [](auto&, auto& d, auto&) {
                        d.answers[kAddress] = failed(DownloadStatus::kTruncated, 200);
                    },
                    "更新失败：下载不完整"},
        RefusalCase{"TooLarge",
                    [](auto&, auto& d, auto&) {
                        d.answers[kAddress] = failed(DownloadStatus::kTooLarge, 200);
                    },
                    "更新失败：文件过大"},
        RefusalCase{
            "TimedOut",
            [](auto&, auto& d, auto&) { d.answers[kAddress] = failed(DownloadStatus::kTimedOut); },
            "更新失败：下载超时"},
        RefusalCase{"NotFound",
                    [](auto&, auto& d, auto&) {
                        d.answers[kAddress] = failed(DownloadStatus::kHttpStatus, 404);
                    },
                    "更新失败：服务器拒绝下载（HTTP 404）"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdaterJobTest, AnUnwritableDirectoryLeavesTheProgramAsItWas) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    ::chmod(dir_.path().c_str(), 0555);
    const UpdaterOutcome outcome = run();
    ::chmod(dir_.path().c_str(), 0755);
    EXPECT_FALSE(outcome.replaced);
    EXPECT_EQ(outcome.message, kUpdaterNoPermission);
    expectProgramUnchanged();
}

TEST_F(UpdaterJobTest, AMissingDirectoryIsAWriteFailure) {
    const UpdaterOutcome outcome = run(dir_.file("gone"));
    EXPECT_FALSE(outcome.replaced);
    EXPECT_THAT(outcome.message, ::testing::StartsWith("更新失败：无法写入程序文件（"));
    expectProgramUnchanged();
}

TEST_F(UpdaterJobTest, ANewProgramThatDoesNotStartIsReported) {
    starter_.succeeds = false;
    const UpdaterOutcome outcome = run();
    EXPECT_TRUE(outcome.replaced);
    EXPECT_FALSE(outcome.started);
    EXPECT_EQ(outcome.message, kUpdaterNotStarted);
    EXPECT_EQ(readTestFile(programPath()), kNewProgram);
}

struct ArgumentsCase {
    const char* name;
    std::vector<std::string> arguments;
    bool accepted;
};

class UpdaterArgumentsTest : public ::testing::TestWithParam<ArgumentsCase> {};

TEST_P(UpdaterArgumentsTest, FiveArgumentsWithAPlainProgramName) {
    const auto request = parseUpdaterArguments(GetParam().arguments);
    ASSERT_EQ(request.has_value(), GetParam().accepted);
    if (!request) return;
    EXPECT_EQ(request->title, GetParam().arguments[0]);
    EXPECT_EQ(request->version, GetParam().arguments[1]);
    EXPECT_EQ(request->offeredVersion, GetParam().arguments[2]);
    EXPECT_EQ(request->updateAddress, GetParam().arguments[3]);
    EXPECT_EQ(request->programFileName, GetParam().arguments[4]);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, UpdaterArgumentsTest,
    ::testing::Values(ArgumentsCase{"Five", {"t i", "1.41", "1.5", "http://h/u", "程序"}, true},
                      ArgumentsCase{"Four", {"t", "1.41", "1.5", "http://h/u"}, false},
                      ArgumentsCase{"Six", {"t", "1.41", "1.5", "http://h/u", "p", "x"}, false},
                      ArgumentsCase{"EmptyName", {"t", "1.41", "1.5", "http://h/u", ""}, false},
                      ArgumentsCase{"Dot", {"t", "1.41", "1.5", "http://h/u", "."}, false},
                      ArgumentsCase{"DotDot", {"t", "1.41", "1.5", "http://h/u", ".."}, false},
                      ArgumentsCase{"Path", {"t", "1.41", "1.5", "http://h/u", "../bin/p"}, false},
                      ArgumentsCase{
                          "Absolute", {"t", "1.41", "1.5", "http://h/u", "/bin/p"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sscplan
