#include "tools/commands/registered_plans.h"

#include "plans/plan_spec.h"

namespace sscplan::cli {

RegisteredPlans::RegisteredPlans(const std::string& planSpec) { loadPlanSpecs(engine, planSpec); }

}  // namespace sscplan::cli
