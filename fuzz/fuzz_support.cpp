#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace sscplan::fuzz {

void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

const std::string& scratchFolder() {
    static const std::string folder = [] {
        std::error_code error;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        const auto path = base / ("sscplan-fuzz-" + std::to_string(::getpid()));
        std::filesystem::remove_all(path, error);
        std::filesystem::create_directories(path);
        // Removed when the process ends normally; a crashed run leaves it for inspection.
        static const struct Remover {
            std::filesystem::path path;
            ~Remover() {
                std::error_code ignored;
                std::filesystem::remove_all(path, ignored);
            }
        } remover{path};
        return path.string();
    }();
    return folder;
}

}  // namespace sscplan::fuzz
