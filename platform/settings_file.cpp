#include "platform/settings_file.h"

// The texts are UTF-8 already (converted from GBK on reading): no conversion layer needed.
#define SI_NO_CONVERSION
#include <SimpleIni.h>
#include <sys/stat.h>

#include "common/text.h"
#include "platform/files.h"

namespace sscplan {
namespace {

constexpr mode_t kSettingsMode = 0644;
// Far beyond any settings file the program writes; a larger file is not ours to rewrite.
constexpr std::size_t kMaxSettingsBytes = 1u << 20;

enum class FileState { missing, unreadable, read };

struct FileText {
    FileState state = FileState::missing;
    std::string utf8;
};

FileText loadUtf8(const std::string& path) {
    if (!pathExists(path)) return {FileState::missing, {}};
    const auto bytes = readWholeFile(path, kMaxSettingsBytes);
    if (!bytes) return {FileState::unreadable, {}};
    auto utf8 = gbkToUtf8(*bytes);
    if (!utf8) return {FileState::unreadable, {}};
    return {FileState::read, std::move(*utf8)};
}

// Whether a rendered file reads back into the same file. A section header that runs on
// across a line break, say, does not: each rewrite would add to it, so the file would
// change, and grow, with every setting saved.
bool rendersStably(const std::string& rendered) {
    CSimpleIniA again;
    again.SetUnicode(true);
    std::string reRendered;
    return again.LoadData(rendered) >= 0 && again.Save(reRendered) >= 0 && reRendered == rendered;
}

}  // namespace

std::string SettingsFile::read(const std::string& section, const std::string& key,
                               const std::string& fallback) const {
    const FileText file = loadUtf8(path_);
    if (file.state != FileState::read) return fallback;
    CSimpleIniA ini;
    ini.SetUnicode(true);
    if (ini.LoadData(file.utf8) < 0) return fallback;
    const char* value = ini.GetValue(section.c_str(), key.c_str(), nullptr);
    return value ? std::string(value) : fallback;
}

bool SettingsFile::write(const std::string& section, const std::string& key,
                         const std::string& value) {
    const FileText file = loadUtf8(path_);
    if (file.state == FileState::unreadable) return false;
    CSimpleIniA ini;
    ini.SetUnicode(true);
    if (file.state == FileState::read && ini.LoadData(file.utf8) < 0) return false;
    if (ini.SetValue(section.c_str(), key.c_str(), value.c_str()) < 0) return false;
    std::string rendered;
    if (ini.Save(rendered) < 0 || !rendersStably(rendered)) return false;
    const auto gbk = utf8ToGbk(rendered);
    if (!gbk) return false;
    return !writeFileAtomically(path_, *gbk, kSettingsMode);
}

void SettingsFile::clearReadOnly() const {
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0) return;
    if ((st.st_mode & S_IWUSR) == 0) ::chmod(path_.c_str(), st.st_mode | S_IWUSR);
}

}  // namespace sscplan
