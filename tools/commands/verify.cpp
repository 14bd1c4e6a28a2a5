#include <string>

#include "tools/command.h"
#include "tools/commands/options.h"
#include "tools/commands/registered_plans.h"

namespace sscplan::cli {
namespace {

constexpr std::string_view kName = "verify";

int runVerify(Arguments args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3) {
        return usageError(err, kName,
                          "expected SPEC, PREDICTION and DIGITS, got " +
                              std::to_string(args.size()) + " argument(s)");
    }
    const std::string& digitsText = args[2];
    if (!isFiveDigits(digitsText)) {
        return usageError(err, kName,
                          "DIGITS '" + digitsText + "' is not five digits 0-9 such as 12345");
    }
    DrawDigits digits;
    PlanEngine::splitDigits(digitsText, digits);
    RegisteredPlans plans(args[0]);
    if (plans.engine.planCount() == 0) {
        return usageError(err, kName, "SPEC '" + args[0] + "' names no plan");
    }
    for (std::int32_t index = 1; index <= plans.engine.planCount(); ++index) {
        const PlanEntry& entry = *plans.engine.entryAt(index);
        out << entry.name << '\t' << (entry.plan->验证预测(digits, args[1]) ? 1 : 0) << '\n';
    }
    return kOk;
}

// Built once at start-up; the registration keeps a view of it.
const std::string kHelp =
    "Tells for every plan of SPEC whether PREDICTION hit the draw DIGITS, one line per\n"
    "plan in the order of SPEC:\n"
    "\n"
    "  NAME<TAB>1   a hit\n"
    "  NAME<TAB>0   a miss\n"
    "\n"
    "Each plan judges the prediction by its own rule (a prediction of another kind simply\n"
    "misses).\n"
    "\n"
    "Arguments:\n" +
    std::string(kSpecHelp) +
    "  PREDICTION  a prediction text as 'sscplan predict' prints it between [ and ], e.g.\n"
    "              7 or 01245789; quote it when it holds blanks (single bets).\n"
    "  DIGITS      the five drawn digits, first position first: exactly five characters\n"
    "              0-9, e.g. 12345.\n"
    "\n"
    "Exit status: 0 printed; 2 bad arguments (the message is on stderr).\n";

const CommandRegistration kRegistration({kName, "verify SPEC PREDICTION DIGITS", kHelp, runVerify});

}  // namespace
}  // namespace sscplan::cli
