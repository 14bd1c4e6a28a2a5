#include "platform/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/text.h"

namespace sscplan {
namespace {

const char* const kSection = "Zindra平刷后二直选单式";

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/settings-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        directory_ = pattern;
        path_ = directory_ + "/配置.ini";
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }

    std::string bytes() const {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    void writeBytes(const std::string& content) const {
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << content;
    }
    static std::string gbk(const std::string& utf8) { return utf8ToGbk(utf8).value(); }

    std::string directory_;
    std::string path_;
};

TEST_F(SettingsFileTest, MissingFileReadsDefaultsAndTheFirstWriteCreatesItInGbk) {
    SettingsFile settings(path_);
    EXPECT_EQ(settings.read(kSection, "公式期数", "3"), "3");
    ASSERT_TRUE(settings.write(kSection, "公式期数", "2"));
    const std::string stored = bytes();
    EXPECT_NE(stored.find(gbk("[Zindra平刷后二直选单式]")), std::string::npos);
    EXPECT_NE(stored.find(gbk("公式期数")), std::string::npos);
    EXPECT_EQ(stored.find("\xEF\xBB\xBF"), std::string::npos);  // no UTF-8 mark
    EXPECT_EQ(settings.read(kSection, "公式期数", "3"), "2");
    EXPECT_EQ(settings.read("其他", "公式期数", "3"), "3");
}

TEST_F(SettingsFileTest, WriteKeepsOtherSectionsKeysAndComments) {
    writeBytes(
        gbk("; 注释\r\n[其他版本]\r\n公式期数=1\r\n[Zindra平刷后二直选单式]\r\n"
            "选择注数=47.5\r\n"));
    SettingsFile settings(path_);
    EXPECT_EQ(settings.read(kSection, "选择注数", "0"), "47.5");
    ASSERT_TRUE(settings.write(kSection, "公式期数", "1"));
    ASSERT_TRUE(settings.write(kSection, "选择注数", "70"));
    EXPECT_EQ(settings.read("其他版本", "公式期数", ""), "1");
    EXPECT_EQ(settings.read(kSection, "选择注数", ""), "70");
    EXPECT_EQ(settings.read(kSection, "公式期数", ""), "1");
    EXPECT_NE(bytes().find(gbk("; 注释")), std::string::npos);
}

TEST_F(SettingsFileTest, FileThatIsNotGbkIsNeitherReadNorOverwritten) {
    const std::string foreign = "[x]\n\x80\xFF\xFE=1\n";
    writeBytes(foreign);
    SettingsFile settings(path_);
    EXPECT_EQ(settings.read("x", "a", "default"), "default");
    EXPECT_FALSE(settings.write(kSection, "公式期数", "2"));
    EXPECT_EQ(bytes(), foreign);
}

TEST_F(SettingsFileTest, FileThatWouldChangeOnEveryRewriteIsLeftAsItIs) {
    // A section header without its "]" runs on into the next line; written back and read
    // again it would gain a line with every save.
    const std::string broken = gbk("[后二单式=3\r\n选择注数]\n选择注数=\n");
    writeBytes(broken);
    SettingsFile settings(path_);
    EXPECT_FALSE(settings.write(kSection, "公式期数", "2"));
    EXPECT_EQ(bytes(), broken);
}

TEST_F(SettingsFileTest, ReadOnlyMarkIsClearedAndMissingFileLeftAlone) {
    SettingsFile settings(path_);
    settings.clearReadOnly();
    EXPECT_FALSE(std::filesystem::exists(path_));
    ASSERT_TRUE(settings.write(kSection, "公式期数", "3"));
    ASSERT_EQ(::chmod(path_.c_str(), 0444), 0);
    settings.clearReadOnly();
    struct stat st {};
    ASSERT_EQ(::stat(path_.c_str(), &st), 0);
    EXPECT_NE(st.st_mode & S_IWUSR, 0u);
}

TEST_F(SettingsFileTest, WriteIntoAMissingDirectoryFailsCleanly) {
    SettingsFile settings(directory_ + "/missing/配置.ini");
    EXPECT_FALSE(settings.write(kSection, "公式期数", "3"));
}

}  // namespace
}  // namespace sscplan
