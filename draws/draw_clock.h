#pragma once

#include <cstdint>
#include <string>

#include "draws/draw_record.h"

namespace sscplan {

class Clock;
class CloudClient;

// Unix seconds of a draw time "YYYY-MM-DD HH:MM:SS" (or with "/" between the date parts)
// read as this machine's local time. Any other text reads as the earliest date-time,
// kEarliestDrawTime, which lies far in the past.
std::int64_t readDrawTime(const std::string& text);

// 0100-01-01 00:00:00 UTC.
inline constexpr std::int64_t kEarliestDrawTime = -59011459200;

// Follows the draw schedule that the server announces: the countdown to the next draw,
// and once it is due, polls (at most every 6 seconds, never nested) until the next draw
// is out.
class DrawClock {
  public:
    // Both references must outlive the clock.
    DrawClock(CloudClient& client, const Clock& clock) : client_(client), clock_(clock) {}

    // Polls for a new draw when one is due; true when a new draw was published into `out`
    // (and into published()). `out` may also be overwritten by a poll that finds the same
    // period again.
    bool refresh(DrawPair& out);
    // The time left until nextDrawTime as formatRemaining gives it; empty once it has
    // passed.
    std::string countdownText() const;
    // "MM：SS" (minutes above 99 in full); empty for a negative count.
    static std::string formatRemaining(std::int32_t seconds);
    // One newest-draw query into `out`: true when the answer held exactly the 8 texts of
    // the latest and the next draw; `out` is untouched otherwise.
    bool fetchNewest(DrawPair& out);

    const DrawPair& published() const { return published_; }
    std::int64_t nextDrawTime() const { return nextDrawTime_; }
    bool pollBusy() const { return pollBusy_; }
    std::int64_t lastPollTime() const { return lastPollTime_; }

  private:
    CloudClient& client_;
    const Clock& clock_;
    DrawPair published_;
    std::int64_t nextDrawTime_ = 0;
    bool pollBusy_ = false;
    std::int64_t lastPollTime_ = 0;
};

}  // namespace sscplan
