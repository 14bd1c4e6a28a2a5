#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/ports.h"
#include "platform/program_ports.h"

namespace sscplan::testing {

// Every port of the update check, recording what it was asked in one journal so that the
// order of the steps shows.
class RecordingPorts final : public LoadingWindowCloser,
                             public EventPump,
                             public MessageBoxes,
                             public FileStore,
                             public ProcessStarter,
                             public ProgramEnd {
  public:
    struct Start {
        std::string program;
        std::vector<std::string> arguments;
    };

    bool answer = true;                        // the user's answer to the OK/Cancel box
    std::map<std::string, std::string> files;  // path -> bytes
    std::map<std::string, bool> executable;    // path -> run bits set by the write
    std::vector<std::string> journal;
    std::vector<std::string> prompts;
    std::vector<Start> starts;
    std::optional<int> exitCode;

    void closeLoadingWindow() override { journal.push_back("close loading window"); }
    void runPending() override { journal.push_back("run pending events"); }
    void inform(const std::string& text) override { journal.push_back("inform " + text); }
    bool confirm(const std::string& text) override {
        journal.push_back("confirm");
        prompts.push_back(text);
        return answer;
    }
    bool exists(const std::string& path) override { return files.contains(path); }
    bool remove(const std::string& path) override {
        journal.push_back("remove " + path);
        return files.erase(path) == 1;
    }
    bool writeExecutable(const std::string& path, std::span<const std::uint8_t> bytes) override {
        journal.push_back("write " + path);
        files[path] = std::string(bytes.begin(), bytes.end());
        executable[path] = true;
        return true;
    }
    bool startDetached(const std::string& program,
                       const std::vector<std::string>& arguments) override {
        journal.push_back("start " + program);
        starts.push_back({program, arguments});
        return true;
    }
    void end(int code) override {
        journal.push_back("end " + std::to_string(code));
        exitCode = code;
    }
};

}  // namespace sscplan::testing
