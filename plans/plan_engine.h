#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "plans/plan_base.h"

namespace sscplan {

class Clock;
class PlanPrototypes;

// One prediction row. Periods are three-digit texts "001" to "120".
struct PlanLine {
    std::string startPeriod;
    std::string endPeriod;
    std::int32_t status = 0;  // 0 open ("等开"), 1 missed ("→无"), 2 hit ("→中")
    std::string prediction;
    std::string verifiedPeriod;   // period of the draw that last verified the row; empty until then
    std::string verifiedNumbers;  // that draw's five digits; empty until then
};

inline constexpr std::int32_t kLineOpen = 0;
inline constexpr std::int32_t kLineMissed = 1;
inline constexpr std::int32_t kLineHit = 2;

// One registered plan with its rows, oldest first. Copies are deep (the plan is cloned).
struct PlanEntry {
    PlanEntry() = default;
    PlanEntry(const PlanEntry& other);
    PlanEntry& operator=(const PlanEntry& other);
    PlanEntry(PlanEntry&&) = default;
    PlanEntry& operator=(PlanEntry&&) = default;

    std::int32_t lineCount() const { return static_cast<std::int32_t>(lines.size()); }

    std::string name;
    std::unique_ptr<PlanBase> plan;
    std::int32_t nameSeed = 0;  // 0 to 16777215, from the MD5 of the name's GBK bytes
    std::vector<PlanLine> lines;
    std::int32_t displayMode = 1;
    std::int32_t windowLength = 1;
};

// The registered plans and the stream of draws that turns them into plan text. Entries
// are addressed by 1-based index; index 0 means "not found". Names need not be unique;
// lookups by name take the first entry.
//
// Draws arrive live (no following draw known: the plan's prediction is taken as it
// comes) or in replay (the following draw's digits known: up to ten candidate
// predictions are tried so that the track record approaches targetHitPercent).
class PlanEngine {
  public:
    // The clock gives the uptime added to replay seeds; the prototypes are what
    // parsePlanSpec configures and registers. Both must outlive the engine.
    PlanEngine(const Clock& clock, PlanPrototypes& prototypes);
    PlanEngine(const PlanEngine&) = delete;
    PlanEngine& operator=(const PlanEngine&) = delete;

    // Destroys every entry, empties linePrefix; prefixSeed, maxLines and targetHitPercent
    // become 0 and resetOnMisses 1.
    void clearAll();
    // Every entry loses its rows; the entries stay.
    void clearAllLines();
    void setResetOnMisses(std::int32_t value);
    void setTargetHitPercent(std::int32_t value);
    // byName: only the first entry named `name` (nothing when none); else every entry.
    void setWindowLength(std::int32_t value, const std::string& name, bool byName);
    void setDisplayMode(std::int32_t value, const std::string& name, bool byName);
    // Also sets prefixSeed: |first 8 hex digits of MD5(GBK prefix) as signed 32 bits|.
    void setLinePrefix(const std::string& prefix);
    // Registers a clone of `plan`; the caller keeps its object.
    void addPlan(const PlanBase& plan);
    // Destroys the first entry named `name`; nothing when none.
    void removePlan(const std::string& name);
    // Fills name, displayMode, windowLength and nameSeed from the entry's plan.
    void initEntry(PlanEntry& entry) const;
    // Most rows an entry keeps; 0 = no limit.
    void setMaxLines(std::int32_t value);

    // The five digits of `numbers` as one-character texts; false, `out` untouched, unless
    // `numbers` is exactly five characters.
    static bool splitDigits(std::string_view numbers, DrawDigits& out);
    // The last three characters of `period` plus k as a three-digit text; any sum above
    // 120 becomes 001.
    static std::string offsetPeriod(std::string_view period, std::int32_t k);
    // The rows of one entry as plan text, lines ended by "\r\n".
    std::string formatEntry(const PlanEntry& entry, const std::string& prefix) const;

    // Registers at most one plan for one plan specification item under `name`; window 0 keeps
    // the kind's own window length. Items that cannot be read, or whose configuration no
    // kind can serve, register nothing. Defined in plan_spec.cpp.
    void parsePlanSpec(const std::string& item, const std::string& name, std::int32_t window);

    // Feeds one draw. `period` is the engine form (only its last three characters count),
    // `nextNumbers` the following draw's digits in replay, empty live. False, nothing
    // changed, when numbers or non-empty nextNumbers are not five characters.
    bool feedDraw(const std::string& period, const std::string& numbers, std::int32_t seed,
                  const std::string& nextNumbers, std::int32_t unused = 0);
    // The core step for one draw; a seed of 0 changes nothing.
    void processDraw(const std::string& period, const std::string& numbers,
                     const DrawDigits& digits, std::int32_t seed, const DrawDigits& nextDigits,
                     std::int32_t unused = 1);
    // Walks the entry's newest `window` rows from the newest, counting rows of `status`:
    // true once `need` are counted; with consecutive 1 another status ends the walk with
    // false. False when the entry has fewer than `need` rows.
    bool recentStatusCount(const PlanEntry& entry, std::int32_t status, std::int32_t window,
                           std::int32_t need, std::int32_t consecutive,
                           std::int32_t unused = 0) const;
    // Appends the entry's next row, for the periods after `period`.
    void predictNext(PlanEntry& entry, const std::string& period, std::int32_t seed,
                     const DrawDigits& nextDigits);

    std::int32_t findPlan(const std::string& name) const;
    // Empty outside 1..planCount().
    std::string planName(std::int32_t index) const;
    std::string linePrefix() const { return linePrefix_; }
    std::int32_t planCount() const { return static_cast<std::int32_t>(entries_.size()); }
    // formatEntry with linePrefix; empty outside 1..planCount().
    std::string planText(std::int32_t index) const;
    std::string planTextByName(const std::string& name) const;
    // Replaces `out` by a deep copy of the entry; `out` untouched outside 1..planCount().
    void copyEntry(std::int32_t index, PlanEntry& out) const;
    void copyEntryByName(const std::string& name, PlanEntry& out) const;
    // The newest row's prediction; empty outside 1..planCount() or without rows.
    std::string latestPrediction(std::int32_t index) const;
    std::string latestPredictionByName(const std::string& name) const;

    std::int32_t prefixSeed() const { return prefixSeed_; }
    std::int32_t maxLines() const { return maxLines_; }
    std::int32_t targetHitPercent() const { return targetHitPercent_; }
    std::int32_t resetOnMisses() const { return resetOnMisses_; }
    // The entry at a 1-based index, nullptr outside 1..planCount(). Valid until the next
    // change of the entries.
    const PlanEntry* entryAt(std::int32_t index) const;

  private:
    PlanEntry* findEntry(const std::string& name);
    std::string predictForReplay(PlanEntry& entry, std::int32_t seed,
                                 const DrawDigits& nextDigits) const;

    const Clock& clock_;
    PlanPrototypes& prototypes_;
    std::string linePrefix_;
    std::int32_t prefixSeed_ = 0;
    std::vector<PlanEntry> entries_;
    std::int32_t maxLines_ = 0;
    std::int32_t targetHitPercent_ = 80;
    std::int32_t resetOnMisses_ = 1;
};

}  // namespace sscplan
