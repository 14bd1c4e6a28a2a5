#include <memory>
#include <string>

#include "common/edition.h"
#include "draws/draws_file.h"
#include "tools/command.h"
#include "tools/commands/board_run.h"
#include "tools/commands/options.h"
#include "tools/commands/server_draws.h"

namespace sscplan::cli {
namespace {

constexpr std::string_view kName = "board";

// The options as given, not yet checked against the draws.
struct BoardRequest {
    std::string drawsPath;   // one of the two sources: a draws file
    std::string serverUrl;   // or the server's initialisation address
    BoardSettings settings;
    std::optional<std::uint32_t> uptimeMs;  // nullopt: the system's uptime
};

// Fills `request`; the error text when the arguments are bad, else empty.
std::string readRequest(Arguments args, BoardRequest& request) {
    const ParsedOptions parsed =
        parseOptions(args, {"--draws", "--server", "--spec", "--periods", "--bets", "--uptime-ms"});
    if (!parsed.error.empty()) return parsed.error;
    if (!parsed.positional.empty()) return "unexpected argument '" + parsed.positional[0] + "'";

    const auto value = [&parsed](std::string_view name) -> const std::string* {
        const auto found = parsed.values.find(name);
        return found != parsed.values.end() ? &found->second : nullptr;
    };
    const std::string* draws = value("--draws");
    const std::string* server = value("--server");
    if ((draws == nullptr) == (server == nullptr)) {
        return "give one of --draws FILE and --server URL";
    }
    if (draws != nullptr) request.drawsPath = *draws;
    if (server != nullptr) request.serverUrl = *server;

    request.settings.planSpec = thisEdition().planSpec;
    if (const std::string* spec = value("--spec")) request.settings.planSpec = *spec;
    if (const std::string* text = value("--periods")) {
        const auto periods = parseInt32(*text);
        if (!periods || *periods < kFewestFormulaPeriods || *periods > kMostFormulaPeriods) {
            return "--periods '" + *text + "' is not 1, 2 or 3";
        }
        request.settings.periods = *periods;
    }
    if (const std::string* text = value("--bets")) {
        request.settings.bets = parseInt32(*text);
        if (!request.settings.bets) {
            return "--bets '" + *text + "' is not a 32-bit signed decimal integer";
        }
    }
    if (const std::string* text = value("--uptime-ms")) {
        request.uptimeMs = parseUint32(*text);
        if (!request.uptimeMs) return "--uptime-ms '" + *text + "' is not 0 to 4294967295";
    }
    return {};
}

int runBoardCommand(Arguments args, std::ostream& out, std::ostream& err) {
    BoardRequest request;
    if (const std::string error = readRequest(args, request); !error.empty()) {
        return usageError(err, kName, error);
    }
    DrawHistory draws;
    std::string source = request.drawsPath;
    if (!request.serverUrl.empty()) {
        ServerDraws fetched =
            fetchServerDraws(request.serverUrl, static_cast<std::int32_t>(kBoardDraws), kDefaultAppId);
        if (!fetched.ok) {
            err << "sscplan " << kName << ": " << fetched.error << "\n";
            return kFailed;
        }
        draws = std::move(fetched.draws);
        source = request.serverUrl;
    } else {
        DrawsFileResult file = readDrawsFile(request.drawsPath);
        if (!file.ok) {
            err << "sscplan " << kName << ": " << file.error << "\n";
            return kBadUsage;
        }
        draws = std::move(file.draws);
    }
    std::unique_ptr<Clock> clock;
    if (request.uptimeMs) {
        clock = std::make_unique<FixedClock>(*request.uptimeMs);
    } else {
        clock = std::make_unique<SystemClock>();
    }
    const BoardOutcome outcome = runBoard(draws, request.settings, *clock);
    if (!outcome.ok) {
        err << "sscplan " << kName << ": " << source << ": " << outcome.error << "\n";
        return kBadUsage;
    }
    for (const std::string& warning : outcome.warnings) {
        err << "sscplan " << kName << ": warning: " << warning << "\n";
    }
    out << outcome.planBoxText;
    return kOk;
}

const std::string kHelp =
    "Prints the text that the desktop's plan box shows right after start-up, computed\n"
    "from the draws in FILE the way start-up computes it: the plans of SPEC are\n"
    "registered, the 49 older draws are replayed oldest first (each with the draw that\n"
    "followed it known), the newest draw is fed live, and, when SPEC names a bet-count\n"
    "range such as 25-70, the shown plan is registered again with the bet count and\n"
    "rebuilt. The generator starts as in a new process, so with --uptime-ms the output\n"
    "is the same on every run.\n"
    "\n"
    "Options:\n"
    "  --draws FILE    the draws, newest first, one per line:\n"
    "                  date,periodNo,drawTime,numbers,seedValue (UTF-8; blank lines and\n"
    "                  lines starting with # are skipped). The 50 newest are used; with\n"
    "                  fewer, all are. Every used draw needs five digits 0-9.\n"
    "  --server URL    instead of --draws: the 50 most recent draws from the application\n"
    "                  server whose initialisation address is URL (as 'sscplan fetch').\n"
    "                  Exactly one of --draws and --server is given.\n"
    "  --spec SPEC     the plan specification (default \"后二单式25-70注\"); the plan named\n"
    "                  SPEC is the one shown. A SPEC with 注 but no range prints the\n"
    "                  warning 正则搜索失败！ and goes on without a bet count.\n"
    "  --periods N     formula periods, how many periods one prediction stays open:\n"
    "                  1, 2 or 3 (default 3).\n"
    "  --bets N        the bet count when SPEC names a range: a decimal integer, held\n"
    "                  within the range as the bet-count bar holds it (default: the middle\n"
    "                  of the range, truncated: 47 for 25-70). Ignored, with a warning,\n"
    "                  when SPEC names no range.\n"
    "  --uptime-ms N   milliseconds since system start that every read of the uptime\n"
    "                  gives, 0 to 4294967295 (default: the real uptime, which changes\n"
    "                  the replayed predictions from run to run).\n"
    "  Each option may be written --name VALUE or --name=VALUE, at most once.\n"
    "\n"
    "Output: the plan box text exactly as it is: the plan rows, a blank line and the\n"
    "statistics line, with CRLF line breaks, ending with 彩票有风险，投注需谨慎！ and no\n"
    "line break after it. Warnings go to stderr.\n"
    "\n"
    "Exit status: 0 printed; 1 the server could not be reached or refused; 2 bad\n"
    "arguments, or FILE unreadable or holding a bad line or draw (the message is on\n"
    "stderr).\n";

const CommandRegistration kRegistration(
    {kName, "board (--draws FILE | --server URL) [--spec SPEC] [--periods N] [--bets N] [--uptime-ms N]", kHelp,
     runBoardCommand});

}  // namespace
}  // namespace sscplan::cli
