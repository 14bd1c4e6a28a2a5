#include "tools/command.h"

#include <algorithm>

namespace sscplan::cli {
namespace {

std::vector<Command>& table() {
    static std::vector<Command> commands;
    return commands;
}

void printOverview(std::ostream& out) {
    out << "usage: sscplan COMMAND [ARGUMENTS]\n\n";
    for (const Command& c : registeredCommands()) out << "  sscplan " << c.synopsis << "\n";
    out << "\n'sscplan COMMAND --help' explains one command.\n";
}

}  // namespace

CommandRegistration::CommandRegistration(const Command& command) {
    auto& commands = table();
    commands.push_back(command);
    std::sort(commands.begin(), commands.end(),
              [](const Command& a, const Command& b) { return a.name < b.name; });
}

const std::vector<Command>& registeredCommands() { return table(); }

int runCli(Arguments args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printOverview(args.empty() ? err : out);
        return args.empty() ? kBadUsage : kOk;
    }
    for (const Command& c : registeredCommands()) {
        if (c.name != args[0]) continue;
        const Arguments rest = args.subspan(1);
        if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
            out << "usage: sscplan " << c.synopsis << "\n\n" << c.help;
            return kOk;
        }
        return c.run(rest, out, err);
    }
    err << "sscplan: unknown command '" << args[0] << "' (see sscplan --help)\n";
    return kBadUsage;
}

}  // namespace sscplan::cli
