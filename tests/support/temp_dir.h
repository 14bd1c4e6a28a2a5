#pragma once

#include <filesystem>
#include <string>

namespace sscplan::testing {

// A fresh directory under the system's temporary directory, removed with everything in it
// when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// Writes a whole file, replacing what was there; fails the running test when it cannot.
void writeTestFile(const std::string& path, const std::string& bytes);
// The whole file; empty when it cannot be read.
std::string readTestFile(const std::string& path);

}  // namespace sscplan::testing
