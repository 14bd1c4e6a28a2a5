#include "tools/commands/options.h"

#include <algorithm>
#include <charconv>

namespace sscplan::cli {
namespace {

template <typename Integer>
std::optional<Integer> parseWhole(std::string_view text) {
    // from_chars reads a '-' but no '+'; a '+' may only stand before a digit.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
    }
    Integer value{};
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (status != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::int32_t> parseInt32(std::string_view text) {
    return parseWhole<std::int32_t>(text);
}

std::optional<std::uint32_t> parseUint32(std::string_view text) {
    // from_chars for unsigned types refuses a '-', so "-1" never wraps to 4294967295.
    return parseWhole<std::uint32_t>(text);
}

bool isFiveDigits(std::string_view text) {
    return text.size() == 5 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

ParsedOptions parseOptions(Arguments args, const std::set<std::string_view>& known) {
    ParsedOptions parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || !arg.starts_with("--")) {
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (!known.contains(name)) {
            parsed.error = "unknown option '" + name + "'";
            return parsed;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size() && !args[i + 1].starts_with("--")) {
            value = args[++i];
        } else {
            parsed.error = "option " + name + " needs a value";
            return parsed;
        }
        if (!parsed.values.emplace(name, value).second) {
            parsed.error = "option " + name + " given more than once";
            return parsed;
        }
    }
    return parsed;
}

int usageError(std::ostream& err, std::string_view command, std::string_view message) {
    err << "sscplan " << command << ": " << message << " (see sscplan " << command << " --help)\n";
    return kBadUsage;
}

}  // namespace sscplan::cli
