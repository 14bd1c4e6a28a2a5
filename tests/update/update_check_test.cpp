#include "update/update_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/update/fake_ports.h"
#include "update/version_number.h"

namespace sscplan {
namespace {

using ::testing::ElementsAre;
using testing::RecordingPorts;

constexpr const char* kUpdaterPath = "/opt/zindra/更新器";
const std::vector<std::uint8_t> kImage = {0x7f, 'E', 'L', 'F', 0x00, 0x01};

std::string imageText() { return std::string(kImage.begin(), kImage.end()); }

class UpdateCheckTest : public ::testing::Test {
  protected:
    UpdateCheckTest() : edition_(thisEdition()) {}

    bool check(const std::string& offered, const std::string& address = "http://127.0.0.1/u") {
        UpdateCheck updateCheck(edition_, kUpdaterPath, kImage,
                                {ports_, ports_, ports_, ports_, ports_, ports_});
        return updateCheck.checkUpdate(offered, address);
    }

    EditionInfo edition_;
    RecordingPorts ports_;
};

struct VersionCase {
    const char* name;
    const char* offered;
    bool prompts;
};

class VersionComparisonTest : public UpdateCheckTest,
                              public ::testing::WithParamInterface<VersionCase> {};

// The edition's own version is 1.41; the user declines, so a prompt ends start-up.
TEST_P(VersionComparisonTest, PromptsOnlyForAHigherNumber) {
    const VersionCase& c = GetParam();
    ports_.answer = false;
    const bool goesOn = check(c.offered);
    EXPECT_EQ(goesOn, !c.prompts);
    if (c.prompts) {
        EXPECT_THAT(ports_.prompts, ElementsAre("Zindra平刷后二直选单式已经更新至" +
                                                std::string(c.offered) + "\r\n点击确定立即更新"));
        EXPECT_THAT(ports_.journal,
                    ElementsAre("close loading window", "run pending events", "confirm"));
    } else {
        EXPECT_THAT(ports_.journal, ::testing::IsEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(AgainstOurs, VersionComparisonTest,
                         ::testing::Values(VersionCase{"Equal", "1.41", false},
                                           VersionCase{"Higher", "1.5", true},
                                           VersionCase{"NumericNotPerComponent", "1.100", false},
                                           VersionCase{"TrailingZero", "1.410", false},
                                           VersionCase{"Empty", "", false},
                                           VersionCase{"NoNumber", "最新版", false},
                                           VersionCase{"FullWidth", "１．５", true},
                                           VersionCase{"LowerMajor", "0.99", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateCheckTest, CancelStartsNothingAndWritesNothing) {
    ports_.answer = false;
    EXPECT_FALSE(check("1.5"));
    EXPECT_TRUE(ports_.files.empty());
    EXPECT_TRUE(ports_.starts.empty());
    EXPECT_FALSE(ports_.exitCode.has_value());
}

TEST_F(UpdateCheckTest, OkWritesTheUpdaterStartsItWithFiveArgumentsAndEnds) {
    EXPECT_FALSE(check("1.5", "http://127.0.0.1:8080/更新/zindra"));
    EXPECT_EQ(ports_.files.at(kUpdaterPath), imageText());
    EXPECT_TRUE(ports_.executable.at(kUpdaterPath));
    ASSERT_EQ(ports_.starts.size(), 1u);
    EXPECT_EQ(ports_.starts[0].program, kUpdaterPath);
    EXPECT_THAT(ports_.starts[0].arguments,
                ElementsAre("Zindra平刷后二直选单式", "1.41", "1.5",
                            "http://127.0.0.1:8080/更新/zindra", "Zindra平刷后二直选单式"));
    EXPECT_EQ(ports_.exitCode, 0);
    EXPECT_THAT(ports_.journal, ElementsAre("close loading window", "run pending events", "confirm",
                                            std::string("write ") + kUpdaterPath,
                                            std::string("start ") + kUpdaterPath, "end 0"));
}

TEST_F(UpdateCheckTest, AnExistingUpdaterFileIsStartedWithoutBeingRewritten) {
    ports_.files[kUpdaterPath] = "an older updater";
    EXPECT_FALSE(check("1.5"));
    EXPECT_EQ(ports_.files.at(kUpdaterPath), "an older updater");
    EXPECT_FALSE(ports_.executable.contains(kUpdaterPath));
    ASSERT_EQ(ports_.starts.size(), 1u);
    EXPECT_EQ(ports_.exitCode, 0);
}

// The offered version and the address reach the updater exactly as received, spaces and all.
TEST_F(UpdateCheckTest, ArgumentsPassAsReceived) {
    EXPECT_FALSE(check(" 1.5beta", "http://127.0.0.1/a b"));
    ASSERT_EQ(ports_.starts.size(), 1u);
    EXPECT_THAT(ports_.starts[0].arguments, ElementsAre(edition_.title, "1.41", " 1.5beta",
                                                        "http://127.0.0.1/a b", edition_.fileStem));
}

struct NumberCase {
    const char* text;
    float value;
};

class VersionNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(VersionNumberTest, ReadsTheLeadingDecimalNumber) {
    EXPECT_EQ(versionNumber(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, VersionNumberTest,
                         ::testing::Values(NumberCase{"1.41", 1.41f}, NumberCase{"1.410", 1.41f},
                                           NumberCase{"1.100", 1.1f}, NumberCase{"  2.5", 2.5f},
                                           NumberCase{"+3", 3.0f}, NumberCase{"-1.5", -1.5f},
                                           NumberCase{".5", 0.5f}, NumberCase{"7.", 7.0f},
                                           NumberCase{"1.5.2", 1.5f}, NumberCase{"1e1x", 10.0f},
                                           NumberCase{"2e", 2.0f}, NumberCase{"１．５", 1.5f},
                                           NumberCase{"", 0.0f}, NumberCase{".", 0.0f},
                                           NumberCase{"v1.5", 0.0f}, NumberCase{"inf", 0.0f},
                                           NumberCase{"nan", 0.0f}, NumberCase{"0x10", 0.0f}));

}  // namespace
}  // namespace sscplan
