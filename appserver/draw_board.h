#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "draws/draw_record.h"

// What the request threads read: the most recent draws and the announced next draw,
// published as one immutable snapshot whenever the store changes, so that a request never
// waits for the store and always sees a latest draw and its "next" that belong together.

namespace sscplan::appserver {

struct DrawSnapshot {
    DrawHistory recent;                // newest first, at most kSnapshotDraws
    std::string tableText;             // the rows of `recent`, separated by CR LF
    std::vector<std::size_t> rowEnds;  // tableText.substr(0, rowEnds[i]) = the first i+1 rows
    std::string newestText;            // latest draw's five fields + next's three, "| |"
    std::string latestPeriod;          // e.g. "20261211-023"; empty without draws

    // The first `count` rows of the table, separated by CR LF.
    std::string tableRows(std::size_t count) const;
};

// One draw as a table row: the five fields joined by "|+|".
std::string tableRow(const DrawRecord& draw);

class DrawBoard {
  public:
    static constexpr std::size_t kSnapshotDraws = 1000;

    DrawBoard();
    std::shared_ptr<const DrawSnapshot> current() const;
    // `next`: the announced next draw (date, periodNo, drawTime); none without draws.
    void publish(DrawHistory recent, std::optional<DrawRecord> next);

  private:
    mutable std::mutex mutex_;
    std::shared_ptr<const DrawSnapshot> current_;
};

}  // namespace sscplan::appserver
