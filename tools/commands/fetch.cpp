#include <string>

#include "draws/draws_file.h"
#include "tools/command.h"
#include "tools/commands/options.h"
#include "tools/commands/server_draws.h"

namespace sscplan::cli {
namespace {

constexpr std::string_view kName = "fetch";
constexpr std::int32_t kMostDraws = 10000;

int runFetch(Arguments args, std::ostream& out, std::ostream& err) {
    const ParsedOptions parsed = parseOptions(args, {"--count", "--app-id"});
    if (!parsed.error.empty()) return usageError(err, kName, parsed.error);
    if (parsed.positional.empty()) return usageError(err, kName, "the server's URL is missing");
    if (parsed.positional.size() > 1) {
        return usageError(err, kName, "unexpected argument '" + parsed.positional[1] + "'");
    }
    std::int32_t count = 50;
    if (const auto it = parsed.values.find("--count"); it != parsed.values.end()) {
        const auto value = parseInt32(it->second);
        if (!value || *value < 1 || *value > kMostDraws) {
            return usageError(err, kName, "--count '" + it->second + "' is not 1 to 10000");
        }
        count = *value;
    }
    std::int32_t appId = kDefaultAppId;
    if (const auto it = parsed.values.find("--app-id"); it != parsed.values.end()) {
        const auto value = parseInt32(it->second);
        if (!value) {
            return usageError(err, kName,
                              "--app-id '" + it->second + "' is not a 32-bit signed decimal integer");
        }
        appId = *value;
    }
    const ServerDraws fetched = fetchServerDraws(parsed.positional[0], count, appId);
    if (!fetched.ok) {
        err << "sscplan " << kName << ": " << fetched.error << "\n";
        return kFailed;
    }
    for (const DrawRecord& draw : fetched.draws) out << drawsFileLine(draw) << "\n";
    return kOk;
}

const std::string kHelp =
    "Connects to the application server at URL the way the desktop program does (its\n"
    "initialisation, up to ten attempts) and prints the most recent draws, newest first,\n"
    "one per line in the draws-file format that 'sscplan board --draws' reads:\n"
    "date,periodNo,drawTime,numbers,seedValue.\n"
    "\n"
    "  URL            the initialisation address, e.g. http://127.0.0.1:19200/\n"
    "  --count N      how many draws, 1 to 10000 (default 50)\n"
    "  --app-id N     the application id sent to the server (default 1017)\n"
    "\n"
    "Exit status: 0 printed; 1 the server could not be reached or refused (the client's\n"
    "error text is on stderr); 2 bad arguments.\n";

const CommandRegistration kRegistration(
    {kName, "fetch URL [--count N] [--app-id N]", kHelp, runFetch});

}  // namespace
}  // namespace sscplan::cli
