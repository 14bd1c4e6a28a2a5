#include "update/version_number.h"

#include <locale.h>

#include <cstdlib>
#include <string>

#include "common/text.h"

namespace sscplan {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t skipDigits(const std::string& text, std::size_t at) {
    while (at < text.size() && isDigit(text[at])) ++at;
    return at;
}

// The leading decimal number of the text, or empty when it has none. Only the decimal
// forms are taken, so "inf", "nan" and hexadecimal forms give no number.
std::string leadingDecimalNumber(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    const std::size_t start = at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    const std::size_t integerEnd = skipDigits(text, at);
    bool hasDigits = integerEnd > at;
    at = integerEnd;
    if (at < text.size() && text[at] == '.') {
        const std::size_t fractionEnd = skipDigits(text, at + 1);
        const bool hasFraction = fractionEnd > at + 1;
        if (hasDigits || hasFraction) at = fractionEnd;
        hasDigits = hasDigits || hasFraction;
    }
    if (!hasDigits) return {};
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t exponent = at + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
            ++exponent;
        }
        const std::size_t exponentEnd = skipDigits(text, exponent);
        if (exponentEnd > exponent) at = exponentEnd;
    }
    return text.substr(start, at - start);
}

// The program's locale may use another decimal separator; versions always use '.'.
locale_t cLocale() {
    static const locale_t locale = ::newlocale(LC_ALL_MASK, "C", nullptr);
    return locale;
}

}  // namespace

float versionNumber(std::string_view text) {
    const std::string number = leadingDecimalNumber(fullWidthToAscii(text));
    if (number.empty()) return 0.0f;
    return ::strtof_l(number.c_str(), nullptr, cLocale());
}

bool isNewerVersion(std::string_view offered, std::string_view ours) {
    return versionNumber(offered) > versionNumber(ours);
}

}  // namespace sscplan
