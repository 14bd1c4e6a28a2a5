#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The subcommands of sscplan. Each lives in a file of its own under tools/commands/ and
// registers itself with a static CommandRegistration; they run in-process with the output
// streams given, so tests call them without a subprocess.

namespace sscplan::cli {

// Exit statuses shared by every subcommand.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;     // the work itself failed (a server refused, ...)
inline constexpr int kBadUsage = 2;   // bad arguments or an unreadable input file

using Arguments = std::span<const std::string>;

struct Command {
    std::string_view name;
    std::string_view synopsis;  // one line: "predict SPEC SEED"
    std::string_view help;      // what it does and every option, a few lines
    int (*run)(Arguments args, std::ostream& out, std::ostream& err);
};

struct CommandRegistration {
    explicit CommandRegistration(const Command& command);
};

const std::vector<Command>& registeredCommands();

// argv without the program name. "--help", "-h" or no arguments print the overview.
int runCli(Arguments args, std::ostream& out, std::ostream& err);

}  // namespace sscplan::cli
