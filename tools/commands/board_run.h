#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "draws/draw_record.h"
#include "platform/clock.h"

namespace sscplan::cli {

// What the plan box is to show: the plan specification, the formula period count and the
// bet count, as the desktop's settings give them.
struct BoardSettings {
    std::string planSpec;              // the shown plan's plan text
    std::int32_t periods = 3;          // formula periods, 1 to 3
    std::optional<std::int32_t> bets;  // nullopt: the middle of the range (47 for 25-70)
};

inline constexpr std::int32_t kFewestFormulaPeriods = 1;
inline constexpr std::int32_t kMostFormulaPeriods = 3;
// The draws a regeneration reads: the newest and the 49 replayed before it.
inline constexpr std::size_t kBoardDraws = 50;

struct BoardOutcome {
    bool ok = false;
    std::string planBoxText;            // when ok: the plan box's text, "\r\n" line breaks
    std::vector<std::string> warnings;  // when ok: what the desktop would have told the user
    std::string error;                  // when not ok: why nothing was computed
};

// Runs the desktop's start-up of the plans over `draws` (newest first): registers the
// plans of settings.planSpec, sets the engine's start-up parameters, regenerates with
// settings.periods and, when the plan text names a bet-count range, re-registers the
// shown plan with the bet count held within that range. The generator is reset to the
// state of a new process first, so equal inputs and a clock that stands still give equal
// text. Refuses periods outside 1 to 3, an empty history and draws (among the 50 newest)
// whose numbers are not five digits 0-9.
BoardOutcome runBoard(const DrawHistory& draws, const BoardSettings& settings, const Clock& clock);

}  // namespace sscplan::cli
