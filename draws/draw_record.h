#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sscplan {

// One draw, in the field order of a draw row from the server.
struct DrawRecord {
    std::string date;       // day part of the period identifier, as the server sends it
    std::string periodNo;   // "001" to "120"
    std::string drawTime;   // local date-time text, e.g. "2026-12-11 10:00:00"
    std::string numbers;    // the five digits, first position first; empty when not drawn
    std::int32_t seedValue = 0;  // the seed the plan engine replays this draw with; 0 = empty

    bool operator==(const DrawRecord&) const = default;
};

// The latest drawn draw and the announced next one (numbers empty, seedValue 0).
struct DrawPair {
    DrawRecord latest;
    DrawRecord next;

    bool operator==(const DrawPair&) const = default;
};

// Index 0 is the newest draw.
using DrawHistory = std::vector<DrawRecord>;

// date + "-" + periodNo: shown in the current-period label and the history list.
inline std::string displayPeriod(const DrawRecord& draw) {
    return draw.date + "-" + draw.periodNo;
}

// date + periodNo: what the plan engine is fed (it reads the last three characters).
inline std::string enginePeriod(const DrawRecord& draw) { return draw.date + draw.periodNo; }

}  // namespace sscplan
