#pragma once

#include <string_view>

namespace sscplan {

// A version text as a single-precision number: full-width characters become ASCII, leading
// blanks are skipped, then the leading decimal number (optional sign, digits, an optional
// fraction, an optional exponent) is read, rounded to float. A text without a leading
// number gives 0; "1.100" gives 1.1, so versions compare as numbers, not per component.
float versionNumber(std::string_view text);

// Whether the offered version is greater than ours (equal, lower or unreadable: false).
bool isNewerVersion(std::string_view offered, std::string_view ours);

}  // namespace sscplan
