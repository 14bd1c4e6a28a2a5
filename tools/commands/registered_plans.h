#pragma once

#include <string>

#include "plans/plan_engine.h"
#include "plans/plan_prototypes.h"
#include "platform/clock.h"

namespace sscplan::cli {

// The plans that one plan specification text registers, on an engine of their own, as
// the program's start-up registers them (loadPlanSpecs). Nothing is fed to the engine.
struct RegisteredPlans {
    explicit RegisteredPlans(const std::string& planSpec);
    RegisteredPlans(const RegisteredPlans&) = delete;
    RegisteredPlans& operator=(const RegisteredPlans&) = delete;

    FixedClock clock;  // no draw is fed, so nothing reads the time
    PlanPrototypes prototypes;
    PlanEngine engine{clock, prototypes};
};

inline constexpr const char* kSpecHelp =
    "  SPEC        plan specification text: one or more items separated by blanks or\n"
    "              line breaks, e.g. \"后二单式25-70注\" or \"五星独胆 前三组六复式\".\n"
    "              Each item registers one plan named by the item; items that name no\n"
    "              plan are skipped, a SPEC that names no plan at all is an error.\n";

}  // namespace sscplan::cli
