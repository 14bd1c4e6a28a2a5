#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/program_ports.h"

// Whole-file operations on POSIX paths.

namespace sscplan {

inline constexpr mode_t kExecutableMode = 0755;
inline constexpr mode_t kPrivateMode = 0600;

bool pathExists(const std::string& path);

// The permission bits of the file at the path; nullopt when nothing is there.
std::optional<mode_t> filePermissions(const std::string& path);

// The whole file, or nullopt when it cannot be read or holds more than maxBytes.
std::optional<std::string> readWholeFile(const std::string& path, std::size_t maxBytes);

// Writes `bytes` to a new temporary file beside `path`, gives it exactly the permission
// bits `mode` (the umask does not apply), syncs it to disk, renames it over `path` and
// syncs the directory. On any failure the temporary file is removed, whatever stood at
// `path` is untouched, and the error of the failed step is returned; success is the empty
// error code.
std::error_code writeFileAtomically(const std::string& path, std::string_view bytes, mode_t mode);

// The directory part of a path ("." when it has none).
std::string directoryOf(const std::string& path);

// FileStore over the functions above; writeExecutable uses kExecutableMode.
class PosixFileStore final : public FileStore {
  public:
    bool exists(const std::string& path) override;
    bool remove(const std::string& path) override;
    bool writeExecutable(const std::string& path, std::span<const std::uint8_t> bytes) override;
};

}  // namespace sscplan
