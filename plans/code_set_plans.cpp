#include "plans/code_set_plans.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/random.h"
#include "common/text.h"

namespace sscplan {
namespace {

constexpr std::int32_t kGroupSetSize = 8;
// randomBetween yields at most this many distinct values.
constexpr std::int32_t kGeneratorValues = 32768;

bool occursIn(const std::string& prediction, const std::string& digit) {
    return !digit.empty() && prediction.find(digit) != std::string::npos;
}

// Every digit of the window different and in the set.
bool groupSixHit(const std::string& window, const std::string& prediction) {
    const std::vector<std::string> digits = splitCharacters(window);
    if (digits.empty()) return false;
    for (const std::string& digit : digits) {
        if (std::count(digits.begin(), digits.end(), digit) >= 2) return false;
        if (!occursIn(prediction, digit)) return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<PlanBase> AnyGroupThreePlan::clone() const {
    return std::make_unique<AnyGroupThreePlan>(*this);
}

std::string AnyGroupThreePlan::取下期预测(std::int32_t seed) {
    seedRandom(seed);
    return drawDigitSet(kGroupSetSize);
}

bool AnyGroupThreePlan::验证预测(const DrawDigits& digits, const std::string& prediction) const {
    return groupThreeHit(digitWindow(digits, -1, 3), prediction) ||
           groupThreeHit(digitWindow(digits, 1, 3), prediction) ||
           groupThreeHit(digitWindow(digits, -2, 3), prediction);
}

std::unique_ptr<PlanBase> PositionCodesPlan::clone() const {
    return std::make_unique<PositionCodesPlan>(*this);
}

std::string PositionCodesPlan::取下期预测(std::int32_t seed) {
    seedRandom(seed);
    return drawDigitSet(codeCount_);
}

bool PositionCodesPlan::验证预测(const DrawDigits& digits, const std::string& prediction) const {
    return occursIn(prediction, digitAt(digits, position_));
}

void PositionCodesPlan::configure(std::int32_t position, std::int32_t codeCount,
                                  const std::string& specName) {
    position_ = position;
    codeCount_ = codeCount;
    specName_ = specName;
}

std::unique_ptr<PlanBase> GroupSixPlan::clone() const {
    return std::make_unique<GroupSixPlan>(*this);
}

std::string GroupSixPlan::取下期预测(std::int32_t seed) {
    seedRandom(seed);
    return drawDigitSet(kGroupSetSize);
}

bool GroupSixPlan::验证预测(const DrawDigits& digits, const std::string& prediction) const {
    return groupSixHit(digitWindow(digits, start_, width_), prediction);
}

void GroupSixPlan::configure(std::int32_t start, std::int32_t width, const std::string& specName) {
    start_ = start;
    width_ = width;
    specName_ = specName;
}

std::unique_ptr<PlanBase> GroupThreePlan::clone() const {
    return std::make_unique<GroupThreePlan>(*this);
}

std::string GroupThreePlan::取下期预测(std::int32_t seed) {
    seedRandom(seed);
    return drawDigitSet(kGroupSetSize);
}

bool GroupThreePlan::验证预测(const DrawDigits& digits, const std::string& prediction) const {
    return groupThreeHit(digitWindow(digits, start_, width_), prediction);
}

void GroupThreePlan::configure(std::int32_t start, std::int32_t width,
                               const std::string& specName) {
    start_ = start;
    width_ = width;
    specName_ = specName;
}

std::unique_ptr<PlanBase> StraightSinglePlan::clone() const {
    return std::make_unique<StraightSinglePlan>(*this);
}

std::string StraightSinglePlan::取下期预测(std::int32_t seed) {
    seedRandom(seed);
    const double largest = std::trunc(std::pow(10.0, width_) - 1);
    const std::int32_t upper = largest >= std::numeric_limits<std::int32_t>::max()
                                   ? std::numeric_limits<std::int32_t>::max()
                                   : static_cast<std::int32_t>(largest);
    const std::int64_t reachable =
        std::min<std::int64_t>(std::int64_t{upper} + 1, kGeneratorValues);
    const auto bets = static_cast<std::size_t>(std::min<std::int64_t>(betCount_, reachable));

    // Every drawn number is below kGeneratorValues, so one flag per value finds repeats.
    std::vector<bool> taken(kGeneratorValues, false);
    std::size_t filled = 0;
    while (filled < bets) {
        const std::int32_t n = randomBetween(0, upper);
        if (taken[static_cast<std::size_t>(n)]) continue;
        taken[static_cast<std::size_t>(n)] = true;
        numbers_[filled++] = n;
    }
    std::sort(numbers_.begin(), numbers_.begin() + static_cast<std::ptrdiff_t>(bets));

    builder_.clear();
    for (std::size_t i = 0; i < bets; ++i) {
        for (std::size_t p = 0; p + 1 < powers_.size(); ++p) {
            if (numbers_[i] < powers_[p]) builder_ += '0';
        }
        builder_ += std::to_string(numbers_[i]);
        builder_ += ' ';
    }
    return builder_;
}

bool StraightSinglePlan::验证预测(const DrawDigits& digits, const std::string& prediction) const {
    return occursIn(prediction, digitWindow(digits, start_, width_));
}

void StraightSinglePlan::configure(std::int32_t start, std::int32_t width, std::int32_t betCount,
                                   const std::string& specName) {
    betCount_ = std::max(betCount, 0);
    numbers_.assign(static_cast<std::size_t>(betCount_), 0);
    start_ = start;
    width_ = std::max(width, 0);
    powers_.assign(static_cast<std::size_t>(width_), 0);
    std::int64_t power = 1;
    for (std::size_t i = 0; i + 1 < powers_.size(); ++i) {
        power *= 10;
        powers_[i] = power > std::numeric_limits<std::int32_t>::max()
                         ? std::numeric_limits<std::int32_t>::max()
                         : static_cast<std::int32_t>(power);
    }
    specName_ = specName;
}

std::unique_ptr<PlanBase> StraightCompoundPlan::clone() const {
    return std::make_unique<StraightCompoundPlan>(*this);
}

std::string StraightCompoundPlan::取下期预测(std::int32_t seed) {
    seedRandom(seed);
    std::string prediction;
    for (std::size_t i = 0; i < partCounts_.size(); ++i) {
        if (i > 0) prediction += ',';
        prediction += drawDigitSet(partCounts_[i]);
    }
    return prediction;
}

bool StraightCompoundPlan::验证预测(const DrawDigits& digits, const std::string& prediction) const {
    if (width_ <= 0) return false;
    const std::vector<std::string> groups = splitText(prediction, ",");
    const std::vector<std::string> window = splitCharacters(digitWindow(digits, start_, width_));
    for (std::size_t i = 0; i < static_cast<std::size_t>(width_); ++i) {
        if (i >= window.size() || i >= groups.size()) return false;
        if (groups[i].find(window[i]) == std::string::npos) return false;
    }
    return true;
}

void StraightCompoundPlan::configure(std::int32_t start, const std::string& partsText,
                                     const std::string& specName) {
    start_ = start;
    partCounts_.clear();
    for (const std::string& part : splitText(partsText, "*")) {
        partCounts_.push_back(textToInt(part));
    }
    width_ = static_cast<std::int32_t>(partCounts_.size());
    specName_ = specName;
}

}  // namespace sscplan
