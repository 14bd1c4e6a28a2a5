#pragma once

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tools/command.h"

namespace sscplan::cli {

// One in-process run of sscplan with its captured streams.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline CliRun runSscplan(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    run.status = runCli(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

inline std::string testData(const std::string& name) {
    return std::string(SSCPLAN_TEST_DATA) + "/" + name;
}

// A file in the test's temporary directory, removed again with the object.
class TempFile {
  public:
    TempFile(const std::string& name, const std::string& content)
        : path_(std::string(::testing::TempDir()) + name) {
        std::ofstream(path_, std::ios::binary) << content;
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace sscplan::cli
