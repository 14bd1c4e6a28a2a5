#pragma once

#include <string>
#include <vector>

namespace sscplan {

// The command line the program gives the window toolkit: its own name and, when the
// process runs as root, what the web engine needs to start without its sandbox (which
// refuses root). The program's own command line is never passed on.
class ToolkitArguments {
  public:
    explicit ToolkitArguments(const char* programName);
    ToolkitArguments(const ToolkitArguments&) = delete;
    ToolkitArguments& operator=(const ToolkitArguments&) = delete;

    // Both stay valid for as long as this object lives, as QApplication requires.
    int& argc() { return argc_; }
    char** argv() { return pointers_.data(); }

  private:
    std::vector<std::string> texts_;
    std::vector<char*> pointers_;
    int argc_ = 0;
};

// Settings that must be made before the QApplication exists.
void prepareToolkit();

// Settings that need the QApplication: the CJK font, and that hiding the last window
// does not end the program (the main window's close button does).
void configureApplication();

}  // namespace sscplan
