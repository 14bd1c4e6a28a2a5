// A settings file from outside (GBK, or anything else): the program's reads, then a write
// of one key, after which the key reads back as written and a second write changes
// nothing else.
#include <fstream>

#include "fuzz/fuzz_support.h"
#include "platform/settings_file.h"

namespace {

using sscplan::SettingsFile;
using sscplan::fuzz::require;

constexpr const char* kSection = "后二单式";
constexpr const char* kKeys[] = {"公式期数", "选择注数"};

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = sscplan::fuzz::scratchFolder() + "/settings.ini";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    SettingsFile settings(path);
    for (const char* key : kKeys) settings.read(kSection, key, "3");

    if (!settings.write(kSection, kKeys[0], "2")) {
        require(fileBytes(path) == sscplan::fuzz::inputText(data, size),
                "a refused write leaves the file as it was");
        return 0;
    }
    require(settings.read(kSection, kKeys[0], "") == "2", "a written key reads back");
    const std::string afterFirst = fileBytes(path);
    require(settings.write(kSection, kKeys[0], "2"), "a file just written can be written again");
    require(fileBytes(path) == afterFirst, "writing the same value again changes nothing");
    return 0;
}
