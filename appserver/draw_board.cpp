#include "appserver/draw_board.h"

namespace sscplan::appserver {

std::string tableRow(const DrawRecord& draw) {
    return draw.date + "|+|" + draw.periodNo + "|+|" + draw.drawTime + "|+|" + draw.numbers +
           "|+|" + std::to_string(draw.seedValue);
}

std::string DrawSnapshot::tableRows(std::size_t count) const {
    if (count == 0 || rowEnds.empty()) return {};
    return tableText.substr(0, rowEnds[std::min(count, rowEnds.size()) - 1]);
}

DrawBoard::DrawBoard() : current_(std::make_shared<DrawSnapshot>()) {}

std::shared_ptr<const DrawSnapshot> DrawBoard::current() const {
    std::lock_guard lock(mutex_);
    return current_;
}

void DrawBoard::publish(DrawHistory recent, std::optional<DrawRecord> next) {
    auto snapshot = std::make_shared<DrawSnapshot>();
    if (recent.size() > kSnapshotDraws) recent.resize(kSnapshotDraws);
    for (const DrawRecord& draw : recent) {
        if (!snapshot->tableText.empty()) snapshot->tableText += "\r\n";
        snapshot->tableText += tableRow(draw);
        snapshot->rowEnds.push_back(snapshot->tableText.size());
    }
    if (!recent.empty() && next) {
        const DrawRecord& latest = recent.front();
        const std::string sep = "| |";
        snapshot->newestText = latest.date + sep + latest.periodNo + sep + latest.drawTime + sep +
                               latest.numbers + sep + std::to_string(latest.seedValue) + sep +
                               next->date + sep + next->periodNo + sep + next->drawTime;
        snapshot->latestPeriod = displayPeriod(latest);
    }
    snapshot->recent = std::move(recent);
    std::lock_guard lock(mutex_);
    current_ = std::move(snapshot);
}

}  // namespace sscplan::appserver
