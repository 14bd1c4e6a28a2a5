#pragma once

#include <cstdint>
#include <span>
#include <string>

// Ports for what the start-up and the update hand-over do to the program itself and to the
// files beside it. The desktop program implements the window ones with Qt; tests record.

namespace sscplan {

// Closes the loading window of the start-up; nothing happens when it is not open.
class LoadingWindowCloser {
  public:
    virtual ~LoadingWindowCloser() = default;
    virtual void closeLoadingWindow() = 0;
};

// Ends the program with an exit code; the program's exit routine runs. The real program
// never returns from end(); a test's fake records the code and returns.
class ProgramEnd {
  public:
    virtual ~ProgramEnd() = default;
    virtual void end(int exitCode) = 0;
};

// The few file operations of the start-up and the hand-over.
class FileStore {
  public:
    virtual ~FileStore() = default;
    // Whether anything (file, link, directory) stands at the path.
    virtual bool exists(const std::string& path) = 0;
    // False when the path could not be removed (also when nothing was there).
    virtual bool remove(const std::string& path) = 0;
    // Writes the bytes as a new program file with its run bits set, atomically: either the
    // complete file stands at the path afterwards or nothing has changed there.
    virtual bool writeExecutable(const std::string& path, std::span<const std::uint8_t> bytes) = 0;
};

}  // namespace sscplan
