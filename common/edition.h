#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sscplan {

// The parameters of one edition of the program, fixed at start-up.
struct EditionInfo {
    std::string title;
    std::string fileStem;
    std::int32_t appId = 0;
    std::string planSpec;
    std::string version;
    // Derived from planSpec; empty and 0 when it names no bet-count range.
    std::string planName;
    std::int32_t minBets = 0;
    std::int32_t maxBets = 0;
};

// The bet-count range named by a plan specification such as "后二单式25-70注".
struct BetRange {
    std::string planName;  // the four characters before the first "digits-digits"
    std::int32_t minBets = 0;
    std::int32_t maxBets = 0;
};

// Whether the plan text asks for a range at all (it contains "注").
bool namesBetRange(const std::string& planSpec);

// The first match of (....)([\d]+)-([\d]+), counted in characters; nullopt when there is
// none. No check that minBets <= maxBets.
std::optional<BetRange> findBetRange(const std::string& planSpec);

// This edition's fixed values, without the derived fields.
EditionInfo thisEdition();

// Fills planName, minBets and maxBets from planSpec. Returns false when planSpec names a
// range ("注") that the expression cannot find: the caller tells the user
// kBetRangeSearchFailed and the bet-count features stay off.
bool deriveBetRange(EditionInfo& edition);

inline constexpr const char* kBetRangeSearchFailed = "正则搜索失败！";

// The default of the saved bet count: the middle of the range in double precision as text
// (47.5 for 25 and 70).
std::string defaultBetCountText(const EditionInfo& edition);

}  // namespace sscplan
