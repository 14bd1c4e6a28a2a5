#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace sscplan {
namespace {

std::error_code lastError() { return {errno, std::generic_category()}; }

std::error_code writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return lastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

// A directory entry that is renamed over the target must be on the disk before the call
// returns, or a crash could bring back the old file.
void syncDirectory(const std::string& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

bool pathExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

std::optional<mode_t> filePermissions(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return info.st_mode & 07777;
}

std::optional<std::string> readWholeFile(const std::string& path, std::size_t maxBytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        const bool failed = n < 0 || content.size() + static_cast<std::size_t>(n) > maxBytes;
        if (failed || n == 0) {
            ::close(fd);
            if (failed) return std::nullopt;
            return content;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
}

std::error_code writeFileAtomically(const std::string& path, std::string_view bytes, mode_t mode) {
    std::string temporary = path + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return lastError();
    std::error_code error = writeAll(fd, bytes);
    if (!error && ::fchmod(fd, mode) != 0) error = lastError();
    if (!error && ::fsync(fd) != 0) error = lastError();
    if (::close(fd) != 0 && !error) error = lastError();
    if (!error && ::rename(temporary.c_str(), path.c_str()) != 0) error = lastError();
    if (error) {
        ::unlink(temporary.c_str());
        return error;
    }
    syncDirectory(directoryOf(path));
    return {};
}

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool PosixFileStore::exists(const std::string& path) { return pathExists(path); }

bool PosixFileStore::remove(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool PosixFileStore::writeExecutable(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return !writeFileAtomically(path, text, kExecutableMode);
}

}  // namespace sscplan
