#include "plans/plan_spec.h"

#include <cmath>
#include <optional>
#include <vector>

#include "common/text.h"
#include "plans/plan_engine.h"
#include "plans/plan_prototypes.h"

namespace sscplan {
namespace {

// The marker position of "五星": all five digits from the first.
constexpr std::int32_t kFiveStarMarker = 888;
constexpr std::int32_t kDigitsInDraw = 5;
constexpr std::int32_t kMostDistinctDigits = 10;
// randomBetween yields at most this many distinct values, so no more single bets exist.
constexpr std::int64_t kGeneratorValues = 32768;

struct PositionWord {
    const char* word;
    std::int32_t code;
};
constexpr PositionWord kPositionWords[] = {
    {"前", 1}, {"中", -2}, {"后", -1}, {"五星", kFiveStarMarker}};

bool contains(const std::string& text, const char* word) {
    return text.find(word) != std::string::npos;
}

// The text between the end of the first `word` and the first "注"; nullopt when the item
// has no "注". A "注" before the word leaves nothing between them.
std::optional<std::string> textBeforeBetMark(const std::string& item, const char* word) {
    const std::size_t mark = item.find("注");
    if (mark == std::string::npos) return std::nullopt;
    const std::size_t begin = item.find(word) + std::string_view(word).size();
    if (mark <= begin) return std::string();
    return item.substr(begin, mark - begin);
}

bool positionInsideDraw(std::int32_t position) {
    return position >= -kDigitsInDraw && position <= kDigitsInDraw;
}

// A window of `width` digits from a start code lies inside the five digits.
bool windowInsideDraw(std::int32_t start, std::int32_t width) {
    if (width < 1 || start == 0) return false;
    const std::int64_t last = start > 0 ? std::int64_t{start} + width - 1 : start + 6;
    const std::int64_t first = last - width + 1;
    return first >= 1 && last <= kDigitsInDraw;
}

std::int64_t reachableNumbers(std::int32_t width) {
    std::int64_t count = 1;
    for (std::int32_t i = 0; i < width && count < kGeneratorValues; ++i) count *= 10;
    return std::min(count, kGeneratorValues);
}

std::int32_t positionOf(std::int32_t code, std::int32_t count) {
    return truncateToInt32(static_cast<double>(code) * static_cast<double>(count));
}

}  // namespace

std::int32_t numeralValue(const std::string& character) {
    static const char* const kNumerals[] = {"零", "一", "二", "三", "四", "五",
                                            "六", "七", "八", "九", "十"};
    for (std::int32_t value = 0; value <= 10; ++value) {
        if (character == kNumerals[value]) return value;
    }
    return -1;
}

void loadPlanSpecs(PlanEngine& engine, const std::string& specText) {
    for (const std::string& item : splitText(replaceAll(specText, "\r\n", " "), " ")) {
        engine.parsePlanSpec(item, item, 0);
    }
}

void PlanEngine::parsePlanSpec(const std::string& item, const std::string& name,
                               std::int32_t window) {
    if (item.empty()) return;
    PlanPrototypes& kinds = prototypes_;
    if (item == "五星独胆") return addPlan(kinds.fiveStarSingleDigit);
    if (item == "前中后组三复式") return addPlan(kinds.anyGroupThree);
    if (item == "五星和值单双") return addPlan(kinds.sumOddEven);
    if (item == "五星和值大小") return addPlan(kinds.sumBigSmall);

    std::optional<std::int32_t> code;
    for (const PositionWord& position : kPositionWords) {
        if (contains(item, position.word)) {
            code = position.code;
            break;
        }
    }
    if (!code) return;
    std::int32_t count = 5;
    if (*code == kFiveStarMarker) {
        code = 1;
    } else {
        count = numeralValue(characterSlice(item, 1, 1));
        if (count < 0) return;
    }

    const PlanBase* plan = nullptr;
    if (contains(item, "单双") || contains(item, "大小")) {
        const std::int32_t position = positionOf(*code, count);
        if (!positionInsideDraw(position)) return;
        if (contains(item, "单双")) {
            kinds.positionOddEven.configure(position, name);
            plan = &kinds.positionOddEven;
        } else {
            kinds.positionBigSmall.configure(position, name);
            plan = &kinds.positionBigSmall;
        }
    } else if (contains(item, "码")) {
        const std::int32_t position = positionOf(*code, count);
        const std::size_t length = characterCount(item);
        const std::int32_t codeCount =
            length >= 2 ? numeralValue(characterSlice(item, length - 2, 1)) : -1;
        if (codeCount < 0 || position == 0 || !positionInsideDraw(position)) return;
        kinds.positionCodes.configure(position, codeCount, name);
        plan = &kinds.positionCodes;
    } else if (contains(item, "组六复式")) {
        if (!windowInsideDraw(*code, count)) return;
        kinds.groupSix.configure(*code, count, name);
        plan = &kinds.groupSix;
    } else if (contains(item, "组三复式")) {
        if (!windowInsideDraw(*code, count)) return;
        kinds.groupThree.configure(*code, count, name);
        plan = &kinds.groupThree;
    } else if (contains(item, "单式")) {
        const std::optional<std::string> bets = textBeforeBetMark(item, "单式");
        if (!bets) return;
        const std::int32_t betCount = textToInt(*bets);
        if (!windowInsideDraw(*code, count) || betCount < 0 || betCount > reachableNumbers(count)) {
            return;
        }
        kinds.straightSingle.configure(*code, count, betCount, name);
        plan = &kinds.straightSingle;
    } else if (contains(item, "复式")) {
        const std::optional<std::string> parts = textBeforeBetMark(item, "复式");
        if (!parts) return;
        const std::vector<std::string> counts = splitText(*parts, "*");
        if (!windowInsideDraw(*code, static_cast<std::int32_t>(counts.size()))) return;
        for (const std::string& part : counts) {
            const std::int32_t digits = textToInt(part);
            if (digits < 0 || digits > kMostDistinctDigits) return;
        }
        kinds.straightCompound.configure(*code, *parts, name);
        plan = &kinds.straightCompound;
    } else {
        return;
    }
    addPlan(*plan);
    if (window != 0) setWindowLength(window, name, true);
}

}  // namespace sscplan
