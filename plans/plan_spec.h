#pragma once

#include <cstdint>
#include <string>

namespace sscplan {

class PlanEngine;

// Registers the plans of a plan text: "\r\n" become blanks, the text is split at
// blanks into items, and each item is parsed with itself as the plan name and window 0.
// Empty and unreadable items register nothing. Always completes.
void loadPlanSpecs(PlanEngine& engine, const std::string& specText);

// The value of a count numeral "零" to "十" (0 to 10); any other text gives −1.
std::int32_t numeralValue(const std::string& character);

}  // namespace sscplan
