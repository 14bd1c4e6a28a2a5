#include "tools/commands/board_run.h"

#include <algorithm>

#include "common/edition.h"
#include "common/random.h"
#include "common/text.h"
#include "plans/plan_board.h"
#include "plans/plan_engine.h"
#include "plans/plan_prototypes.h"
#include "plans/plan_spec.h"
#include "platform/ports.h"
#include "tools/commands/options.h"

namespace sscplan::cli {
namespace {

// A plan box without a window: keeps the last text it was given.
class TextPlanBox final : public PlanBox {
  public:
    void setText(const std::string& text) override { text_ = text; }
    void placeCaretAtEnd() override {}
    const std::string& text() const { return text_; }

  private:
    std::string text_;
};

// Why the draws cannot be shown, or the empty text.
std::string drawsFault(const DrawHistory& draws) {
    if (draws.empty()) return "no draws given";
    const std::size_t used = std::min(draws.size(), kBoardDraws);
    for (std::size_t i = 0; i < used; ++i) {
        if (!isFiveDigits(draws[i].numbers)) {
            return "draw " + displayPeriod(draws[i]) + ": numbers '" + draws[i].numbers +
                   "' are not five digits 0-9";
        }
    }
    return {};
}

// The bet-count bar's position for a wanted count: held within the range; with a range
// whose minimum exceeds its maximum the minimum is the only position.
std::int32_t heldInRange(std::int32_t bets, const EditionInfo& edition) {
    return std::max(edition.minBets, std::min(bets, edition.maxBets));
}

}  // namespace

BoardOutcome runBoard(const DrawHistory& draws, const BoardSettings& settings, const Clock& clock) {
    BoardOutcome outcome;
    if (settings.periods < kFewestFormulaPeriods || settings.periods > kMostFormulaPeriods) {
        outcome.error = "formula periods " + std::to_string(settings.periods) + " outside 1 to 3";
        return outcome;
    }
    outcome.error = drawsFault(draws);
    if (!outcome.error.empty()) return outcome;

    EditionInfo edition = thisEdition();
    edition.planSpec = settings.planSpec;
    if (!deriveBetRange(edition)) outcome.warnings.emplace_back(kBetRangeSearchFailed);
    const bool hasBetCount = !edition.planName.empty();
    if (settings.bets && !hasBetCount) {
        outcome.warnings.push_back("the bet count is ignored: '" + settings.planSpec +
                                   "' names no bet-count range");
    }

    seedRandom(1);
    PlanPrototypes prototypes;
    PlanEngine engine(clock, prototypes);
    NoEventPump events;
    const std::int32_t formulaPeriods = settings.periods;
    PlanBoard board(engine, draws, clock, events, edition.planName,
                    [formulaPeriods] { return formulaPeriods; });
    TextPlanBox box;

    loadPlanSpecs(engine, edition.planSpec);
    engine.setMaxLines(0);
    engine.setTargetHitPercent(80);
    engine.setResetOnMisses(0);
    board.attach(box, edition.planSpec);
    board.regenerate(formulaPeriods);
    if (hasBetCount) {
        const std::int32_t wanted = settings.bets.value_or(textToInt(defaultBetCountText(edition)));
        board.applyBetCount(heldInRange(wanted, edition));
    }

    outcome.ok = true;
    outcome.planBoxText = box.text();
    return outcome;
}

}  // namespace sscplan::cli
