#include <string>

#include "tools/command.h"
#include "tools/commands/options.h"
#include "tools/commands/registered_plans.h"

namespace sscplan::cli {
namespace {

constexpr std::string_view kName = "predict";

int runPredict(Arguments args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        return usageError(
            err, kName,
            "expected SPEC and SEED, got " + std::to_string(args.size()) + " argument(s)");
    }
    const auto seed = parseInt32(args[1]);
    if (!seed) {
        return usageError(err, kName,
                          "SEED '" + args[1] + "' is not a 32-bit signed decimal integer");
    }
    RegisteredPlans plans(args[0]);
    if (plans.engine.planCount() == 0) {
        return usageError(err, kName, "SPEC '" + args[0] + "' names no plan");
    }
    for (std::int32_t index = 1; index <= plans.engine.planCount(); ++index) {
        const PlanEntry& entry = *plans.engine.entryAt(index);
        out << entry.name << "\t[" << entry.plan->取下期预测(*seed) << "]\n";
    }
    return kOk;
}

// Built once at start-up; the registration keeps a view of it.
const std::string kHelp =
    "Registers the plans of SPEC as the program does and prints what each plan predicts\n"
    "for SEED, one line per plan in the order of SPEC:\n"
    "\n"
    "  NAME<TAB>[PREDICTION]\n"
    "\n"
    "The prediction comes from the plan's own seeded draw, so the same SEED always gives\n"
    "the same prediction: the one the plan engine stores for a row seeded with SEED.\n"
    "\n"
    "Arguments:\n" +
    std::string(kSpecHelp) +
    "  SEED        the seed: a decimal 32-bit signed integer, -2147483648 to\n"
    "              2147483647 (e.g. 1 or -5).\n"
    "\n"
    "Exit status: 0 printed; 2 bad arguments (the message is on stderr).\n";

const CommandRegistration kRegistration({kName, "predict SPEC SEED", kHelp, runPredict});

}  // namespace
}  // namespace sscplan::cli
