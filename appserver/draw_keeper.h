#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "appserver/draw_board.h"
#include "appserver/draw_store.h"
#include "appserver/schedule.h"

// Keeps the draw board in step with the store: draws the simulated draws when they are
// due and republishes whenever the store changes (also when another process, such as
// "ssc-server add", wrote to it).

namespace sscplan::appserver {

inline constexpr std::size_t kMaxMissedDraws = 30 * kPeriodsPerDay;

// Timetable slots due after `latest` up to and including `now`, oldest first; without a
// latest draw the last kPeriodsPerDay slots. At most `cap`, the most recent ones.
std::vector<Slot> missedSlots(const std::optional<Slot>& latest, LocalSeconds now, std::size_t cap);

struct KeeperConfig {
    StoreMode mode = StoreMode::kSimulated;  // kRecorded draws nothing itself
    int everySeconds = 0;                    // the interval of kSimulatedEvery
};

class DrawKeeper {
  public:
    DrawKeeper(DrawStore& store, DrawBoard& board, KeeperConfig config)
        : store_(store), board_(board), config_(config) {}
    ~DrawKeeper() { stop(); }
    DrawKeeper(const DrawKeeper&) = delete;
    DrawKeeper& operator=(const DrawKeeper&) = delete;

    // Fills in the draws missed while the server was down, publishes the board and starts
    // the keeper's thread. False with `error` when the store refuses the missed draws.
    bool start(std::string& error);
    void stop();

  private:
    struct Planned {
        Slot slot;
        std::int64_t dueUnix = 0;
    };

    bool catchUp(std::string& error);
    // The draw after the store's latest one; none without draws or in kRecorded mode.
    void planNext(const DrawHistory& latest, std::int64_t now);
    void drawPlanned(std::int64_t now);
    void publish();
    void run();

    DrawStore& store_;
    DrawBoard& board_;
    const KeeperConfig config_;
    std::optional<Planned> planned_;

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace sscplan::appserver
