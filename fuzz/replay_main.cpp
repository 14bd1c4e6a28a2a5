// Replays inputs through a fuzz target without libFuzzer: every argument is a file or a
// folder of files (a missing folder holds nothing), each file one input. Exits non-zero
// when an argument cannot be read; a fault in the target aborts the process.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool replayFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t replayed = 0;
    bool readable = true;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path argument = argv[i];
        std::error_code error;
        if (!std::filesystem::is_directory(argument, error)) {
            if (!std::filesystem::exists(argument, error)) continue;
            readable = replayFile(argument) && readable;
            ++replayed;
            continue;
        }
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(argument)) {
            if (entry.is_regular_file()) files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            readable = replayFile(file) && readable;
            ++replayed;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    return readable && replayed > 0 ? 0 : 1;
}
