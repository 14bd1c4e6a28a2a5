#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tools/command.h"

// Argument reading shared by the subcommands. Numbers on the command line are strict: the
// whole text must be the number, unlike the program's lenient text-to-integer rule, so a
// typing error is reported instead of read as 0.

namespace sscplan::cli {

// An optional '+' or '-' and decimal digits, nothing else, within the 32-bit signed range.
std::optional<std::int32_t> parseInt32(std::string_view text);

// Decimal digits only (an optional '+'), within 0 to 4294967295.
std::optional<std::uint32_t> parseUint32(std::string_view text);

// Exactly five characters 0-9: the digits of one draw, first position first.
bool isFiveDigits(std::string_view text);

// "--name VALUE" or "--name=VALUE" options, each at most once, and positional arguments.
struct ParsedOptions {
    std::map<std::string, std::string, std::less<>> values;  // key: option name with "--"
    std::vector<std::string> positional;                     // in the order given
    std::string error;                                       // empty when parsing succeeded
};

// Every argument that starts with "--" must be one of `known` (each takes a value). In the
// form "--name VALUE" a VALUE starting with "--" counts as missing ("--name=--x" passes it).
// An argument "--" ends the options, everything after it is positional.
ParsedOptions parseOptions(Arguments args, const std::set<std::string_view>& known);

// Writes "sscplan COMMAND: MESSAGE (see sscplan COMMAND --help)" as one line and gives the
// bad-usage status.
int usageError(std::ostream& err, std::string_view command, std::string_view message);

}  // namespace sscplan::cli
