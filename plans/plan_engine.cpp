#include "plans/plan_engine.h"

#include <algorithm>
#include <cstdlib>

#include "common/md5.h"
#include "common/random.h"
#include "common/text.h"
#include "platform/clock.h"

namespace sscplan {
namespace {

constexpr std::int32_t kLastPeriodOfDay = 120;
constexpr std::int32_t kReplayTries = 10;

// The MD5 of the name's GBK bytes, so seeds match across editions; a text without a GBK
// form is digested as it is.
std::string md5OfGbk(const std::string& text) { return md5Hex(utf8ToGbk(text).value_or(text)); }

std::uint32_t leadingHex(const std::string& hex, std::size_t digits) {
    return static_cast<std::uint32_t>(std::strtoul(hex.substr(0, digits).c_str(), nullptr, 16));
}

std::int32_t periodValue(std::string_view period) {
    const std::size_t count = characterCount(period);
    return textToInt(characterSlice(period, count > 3 ? count - 3 : 0));
}

}  // namespace

PlanEntry::PlanEntry(const PlanEntry& other)
    : name(other.name),
      plan(other.plan ? other.plan->clone() : nullptr),
      nameSeed(other.nameSeed),
      lines(other.lines),
      displayMode(other.displayMode),
      windowLength(other.windowLength) {}

PlanEntry& PlanEntry::operator=(const PlanEntry& other) {
    if (this != &other) *this = PlanEntry(other);
    return *this;
}

PlanEngine::PlanEngine(const Clock& clock, PlanPrototypes& prototypes)
    : clock_(clock), prototypes_(prototypes) {}

void PlanEngine::clearAll() {
    entries_.clear();
    linePrefix_.clear();
    prefixSeed_ = 0;
    maxLines_ = 0;
    targetHitPercent_ = 0;
    resetOnMisses_ = 1;
}

void PlanEngine::clearAllLines() {
    for (PlanEntry& entry : entries_) entry.lines.clear();
}

void PlanEngine::setResetOnMisses(std::int32_t value) { resetOnMisses_ = value; }

void PlanEngine::setTargetHitPercent(std::int32_t value) { targetHitPercent_ = value; }

void PlanEngine::setWindowLength(std::int32_t value, const std::string& name, bool byName) {
    if (byName) {
        if (PlanEntry* entry = findEntry(name)) entry->windowLength = value;
        return;
    }
    for (PlanEntry& entry : entries_) entry.windowLength = value;
}

void PlanEngine::setDisplayMode(std::int32_t value, const std::string& name, bool byName) {
    if (byName) {
        if (PlanEntry* entry = findEntry(name)) entry->displayMode = value;
        return;
    }
    for (PlanEntry& entry : entries_) entry.displayMode = value;
}

void PlanEngine::setLinePrefix(const std::string& prefix) {
    linePrefix_ = prefix;
    const auto value = static_cast<std::int32_t>(leadingHex(md5OfGbk(prefix), 8));
    prefixSeed_ = wrapToInt32(std::llabs(std::int64_t{value}));
}

void PlanEngine::addPlan(const PlanBase& plan) {
    PlanEntry entry;
    entry.plan = plan.clone();
    initEntry(entry);
    entries_.push_back(std::move(entry));
}

void PlanEngine::removePlan(const std::string& name) {
    const std::int32_t index = findPlan(name);
    if (index != 0) entries_.erase(entries_.begin() + (index - 1));
}

void PlanEngine::initEntry(PlanEntry& entry) const {
    if (!entry.plan) return;
    entry.name = entry.plan->name();
    entry.displayMode = entry.plan->displayMode();
    entry.windowLength = entry.plan->windowLength();
    entry.nameSeed = static_cast<std::int32_t>(leadingHex(md5OfGbk(entry.name), 6));
}

void PlanEngine::setMaxLines(std::int32_t value) { maxLines_ = value; }

bool PlanEngine::splitDigits(std::string_view numbers, DrawDigits& out) {
    DrawDigits digits = splitCharacters(numbers);
    if (digits.size() != 5) return false;
    out = std::move(digits);
    return true;
}

std::string PlanEngine::offsetPeriod(std::string_view period, std::int32_t k) {
    std::int64_t m = std::int64_t{periodValue(period)} + k;
    if (m > kLastPeriodOfDay) m = 1;
    const std::string digits = std::to_string(m);
    if (m < 10) return "00" + digits;
    if (m < 100) return "0" + digits;
    return digits;
}

std::string PlanEngine::formatEntry(const PlanEntry& entry, const std::string& prefix) const {
    std::string text;
    for (const PlanLine& line : entry.lines) {
        const std::string periods = entry.windowLength == 1
                                        ? line.startPeriod + "期 "
                                        : line.startPeriod + "→" + line.endPeriod + "期 ";
        std::string result;
        if (line.status == kLineOpen) {
            result = "等开";
        } else if (line.status == kLineMissed) {
            result = line.verifiedPeriod + "-" + line.verifiedNumbers + "→无";
        } else if (line.status == kLineHit) {
            result = line.verifiedPeriod + "-" + line.verifiedNumbers + "→中";
        }
        // Rows of another display mode keep only their period part.
        text += periods;
        if (entry.displayMode == 1) {
            text += prefix + entry.name + "【" + line.prediction + "】 " + result + "\r\n";
        } else if (entry.displayMode == 2) {
            text += prefix + entry.name + " " + result + "\r\n";
        }
    }
    if (entry.displayMode == 2 && !entry.lines.empty()) {
        text += "\r\n\r\n " + entry.lines.back().prediction + "\r\n";
    }
    return text;
}

bool PlanEngine::feedDraw(const std::string& period, const std::string& numbers, std::int32_t seed,
                          const std::string& nextNumbers, std::int32_t) {
    DrawDigits digits;
    if (!splitDigits(numbers, digits)) return false;
    DrawDigits nextDigits;
    if (!nextNumbers.empty() && !splitDigits(nextNumbers, nextDigits)) return false;
    processDraw(period, numbers, digits, seed, nextDigits);
    return true;
}

void PlanEngine::processDraw(const std::string& period, const std::string& numbers,
                             const DrawDigits& digits, std::int32_t seed,
                             const DrawDigits& nextDigits, std::int32_t) {
    if (seed == 0) return;
    const std::string drawnPeriod = offsetPeriod(period, 0);
    const std::int32_t d = textToInt(drawnPeriod);
    const std::int32_t s = wrapToInt32(std::int64_t{prefixSeed_} + d + seed);
    for (PlanEntry& entry : entries_) {
        // The first row starts at the drawn period itself.
        if (entry.lines.empty()) predictNext(entry, offsetPeriod(drawnPeriod, -1), s, nextDigits);
        PlanLine& line = entry.lines.back();
        line.verifiedPeriod = drawnPeriod;
        line.verifiedNumbers = numbers;
        line.status = entry.plan->验证预测(digits, line.prediction) ? kLineHit : kLineMissed;
        if (line.status == kLineHit) {
            predictNext(entry, period, s, nextDigits);
        } else if (d == textToInt(line.endPeriod)) {
            if (resetOnMisses_ != 0 && recentStatusCount(entry, kLineMissed, 3, 2, 0)) {
                entry.lines.clear();
            }
            predictNext(entry, period, s, nextDigits);
        } else {
            line.status = kLineOpen;
        }
    }
}

bool PlanEngine::recentStatusCount(const PlanEntry& entry, std::int32_t status, std::int32_t window,
                                   std::int32_t need, std::int32_t consecutive,
                                   std::int32_t) const {
    const std::int64_t count = entry.lineCount();
    if (count < need) return false;
    const std::int64_t first = std::max<std::int64_t>(count - window + 1, 1);
    std::int32_t found = 0;
    for (std::int64_t index = count; index >= first; --index) {
        if (entry.lines[static_cast<std::size_t>(index - 1)].status == status) {
            if (++found >= need) return true;
        } else if (consecutive == 1) {
            return false;
        }
    }
    return false;
}

void PlanEngine::predictNext(PlanEntry& entry, const std::string& period, std::int32_t seed,
                             const DrawDigits& nextDigits) {
    PlanLine line;
    line.startPeriod = offsetPeriod(period, 1);
    line.endPeriod = offsetPeriod(period, entry.windowLength);
    line.status = kLineOpen;
    if (nextDigits.empty()) {
        line.prediction = entry.plan->取下期预测(wrapToInt32(std::int64_t{seed} + entry.nameSeed));
    } else {
        line.prediction = predictForReplay(entry, seed, nextDigits);
    }
    if (maxLines_ != 0 && entry.lineCount() >= maxLines_ && !entry.lines.empty()) {
        entry.lines.erase(entry.lines.begin());
    }
    entry.lines.push_back(std::move(line));
}

// Up to ten candidates, each with the uptime added to the running seed once more; the
// first whose outcome on the known next draw is the wanted one stays, else the tenth.
std::string PlanEngine::predictForReplay(PlanEntry& entry, std::int32_t seed,
                                         const DrawDigits& nextDigits) const {
    std::int32_t goal = targetHitPercent_;
    if (recentStatusCount(entry, kLineMissed, 2, 2, 1)) {
        goal = 100;
    } else if (recentStatusCount(entry, kLineHit, 5, 5, 1)) {
        goal = 0;
    }
    const bool wantHit = randomBetween(0, 100) <= goal;
    std::string prediction;
    std::int32_t s = seed;
    for (std::int32_t k = 1; k <= kReplayTries; ++k) {
        s = wrapToInt32(std::int64_t{clock_.uptimeMs()} + s);
        prediction = entry.plan->取下期预测(wrapToInt32(std::int64_t{s} + k));
        if (entry.plan->验证预测(nextDigits, prediction) == wantHit) break;
    }
    return prediction;
}

std::int32_t PlanEngine::findPlan(const std::string& name) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].name == name) return static_cast<std::int32_t>(i + 1);
    }
    return 0;
}

std::string PlanEngine::planName(std::int32_t index) const {
    const PlanEntry* entry = entryAt(index);
    return entry != nullptr ? entry->name : std::string();
}

std::string PlanEngine::planText(std::int32_t index) const {
    const PlanEntry* entry = entryAt(index);
    return entry != nullptr ? formatEntry(*entry, linePrefix_) : std::string();
}

std::string PlanEngine::planTextByName(const std::string& name) const {
    return planText(findPlan(name));
}

void PlanEngine::copyEntry(std::int32_t index, PlanEntry& out) const {
    if (const PlanEntry* entry = entryAt(index)) out = *entry;
}

void PlanEngine::copyEntryByName(const std::string& name, PlanEntry& out) const {
    copyEntry(findPlan(name), out);
}

std::string PlanEngine::latestPrediction(std::int32_t index) const {
    const PlanEntry* entry = entryAt(index);
    if (entry == nullptr || entry->lines.empty()) return {};
    return entry->lines.back().prediction;
}

std::string PlanEngine::latestPredictionByName(const std::string& name) const {
    return latestPrediction(findPlan(name));
}

const PlanEntry* PlanEngine::entryAt(std::int32_t index) const {
    if (index < 1 || index > planCount()) return nullptr;
    return &entries_[static_cast<std::size_t>(index - 1)];
}

PlanEntry* PlanEngine::findEntry(const std::string& name) {
    const std::int32_t index = findPlan(name);
    return index != 0 ? &entries_[static_cast<std::size_t>(index - 1)] : nullptr;
}

}  // namespace sscplan
