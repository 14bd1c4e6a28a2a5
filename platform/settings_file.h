#pragma once

#include <string>

namespace sscplan {

// The user's settings file: a profile ("ini") file stored in GBK. Every call reads the
// whole file afresh; every write rewrites it atomically (temp file, fsync, rename) and
// keeps all other sections and keys as they were.
class SettingsFile {
  public:
    explicit SettingsFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    // The value under section/key, or `fallback` when the file, the section or the key is
    // missing, or the file cannot be read as GBK.
    std::string read(const std::string& section, const std::string& key,
                     const std::string& fallback) const;

    // Creates the file when missing. False when it cannot be written, and also when the
    // existing file is not GBK text, or holds lines that would not read back as written
    // (a section header broken across lines): rewriting it would destroy what it holds.
    bool write(const std::string& section, const std::string& key, const std::string& value);

    // Clears a read-only mark so that later writes succeed; nothing when the file is missing.
    void clearReadOnly() const;

  private:
    std::string path_;
};

}  // namespace sscplan
