#pragma once

#include <string>
#include <vector>

#include "platform/ports.h"
#include "platform/program_ports.h"

// Message boxes that record what they were asked and answer confirmations as told.
class RecordingMessageBoxes final : public sscplan::MessageBoxes {
  public:
    void inform(const std::string& text) override { shown.push_back(text); }
    bool confirm(const std::string& text) override {
        shown.push_back(text);
        return confirmAnswer;
    }

    std::vector<std::string> shown;
    bool confirmAnswer = false;
};

class RecordingUrlOpener final : public sscplan::UrlOpener {
  public:
    void open(const std::string& url) override { opened.push_back(url); }
    std::vector<std::string> opened;
};

class RecordingProcessStarter final : public sscplan::ProcessStarter {
  public:
    bool startDetached(const std::string& program, const std::vector<std::string>&) override {
        started.push_back(program);
        return true;
    }
    std::vector<std::string> started;
};

class RecordingProgramEnd final : public sscplan::ProgramEnd {
  public:
    void end(int exitCode) override { codes.push_back(exitCode); }
    std::vector<int> codes;
};
