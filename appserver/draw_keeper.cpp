#include "appserver/draw_keeper.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "appserver/log_line.h"
#include "appserver/system_random.h"

namespace sscplan::appserver {
namespace {

// How often the keeper looks for draws other processes stored.
constexpr auto kWatchInterval = std::chrono::milliseconds(250);

std::int64_t unixNow() { return static_cast<std::int64_t>(std::time(nullptr)); }

DrawRecord drawnRecord(const Slot& slot, std::int64_t drawnAtUnix) {
    DrawRecord draw;
    draw.date = dateText(slot.date);
    draw.periodNo = periodText(slot.period);
    draw.drawTime = dateTimeText(toLocal(drawnAtUnix));
    draw.numbers = randomDrawNumbers();
    draw.seedValue = randomSeedValue();
    return draw;
}

}  // namespace

std::vector<Slot> missedSlots(const std::optional<Slot>& latest, LocalSeconds now,
                              std::size_t cap) {
    std::vector<Slot> slots;
    Slot slot = latestSlotAtOrBefore(now);
    const std::size_t wanted = latest ? cap : std::min<std::size_t>(cap, kPeriodsPerDay);
    // Walk back from the newest due slot; the walk ends at the stored latest draw.
    while (slots.size() < wanted) {
        if (latest && (slotTime(slot) <= slotTime(*latest))) break;
        slots.push_back(slot);
        slot = previousSlot(slot);
    }
    std::reverse(slots.begin(), slots.end());
    return slots;
}

bool DrawKeeper::start(std::string& error) {
    if (!catchUp(error)) return false;
    publish();
    thread_ = std::thread([this] { run(); });
    return true;
}

void DrawKeeper::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

bool DrawKeeper::catchUp(std::string& error) {
    const std::int64_t now = unixNow();
    const DrawHistory latest = store_.latest(1);
    DrawHistory missed;
    if (config_.mode == StoreMode::kSimulated) {
        const std::optional<Slot> last = latest.empty() ? std::nullopt : slotOf(latest.front());
        for (const Slot& slot : missedSlots(last, toLocal(now), kMaxMissedDraws)) {
            missed.push_back(drawnRecord(slot, toUnix(slotTime(slot))));
        }
    } else if (config_.mode == StoreMode::kSimulatedEvery && latest.empty()) {
        // A demonstration day: periods 001 to 120 of today, the last one drawn now.
        const LocalDays today = std::chrono::floor<std::chrono::days>(toLocal(now));
        for (int period = 1; period <= kPeriodsPerDay; ++period) {
            const std::int64_t at =
                now - std::int64_t{config_.everySeconds} * (kPeriodsPerDay - period);
            missed.push_back(drawnRecord(Slot{today, period}, at));
        }
    }
    if (!missed.empty()) {
        if (!store_.insert(missed, error)) return false;
        logLine("stored " + std::to_string(missed.size()) + " missed draws up to " +
                displayPeriod(missed.back()));
    }
    planNext(missed.empty() ? latest : DrawHistory{missed.back()}, now);
    return true;
}

void DrawKeeper::planNext(const DrawHistory& latest, std::int64_t now) {
    planned_.reset();
    if (latest.empty() || config_.mode == StoreMode::kRecorded) return;
    const auto slot = slotOf(latest.front());
    if (!slot) return;
    Planned next{nextSlot(*slot), 0};
    if (config_.mode == StoreMode::kSimulated) {
        next.dueUnix = toUnix(slotTime(next.slot));
    } else {
        const auto drawnAt = parseDateTimeText(latest.front().drawTime);
        const std::int64_t after = drawnAt ? toUnix(*drawnAt) : now;
        next.dueUnix = std::max(after + config_.everySeconds, now);
    }
    planned_ = next;
}

void DrawKeeper::drawPlanned(std::int64_t now) {
    const DrawRecord draw = drawnRecord(planned_->slot, planned_->dueUnix);
    std::string error;
    if (store_.insert({draw}, error)) {
        logLine("drew " + displayPeriod(draw) + " " + draw.numbers);
    } else {
        logLine("could not store the draw " + displayPeriod(draw) + ": " + error);
    }
    planNext(store_.latest(1), now);
}

void DrawKeeper::publish() {
    DrawHistory recent = store_.latest(DrawBoard::kSnapshotDraws);
    std::optional<DrawRecord> next;
    if (planned_ && config_.mode == StoreMode::kSimulatedEvery) {
        next = DrawRecord{dateText(planned_->slot.date), periodText(planned_->slot.period),
                          dateTimeText(toLocal(planned_->dueUnix)), "", 0};
    } else if (!recent.empty()) {
        if (const auto slot = slotOf(recent.front())) next = scheduledRecord(nextSlot(*slot));
    }
    board_.publish(std::move(recent), std::move(next));
}

void DrawKeeper::run() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        const std::int64_t now = unixNow();
        lock.unlock();
        if (planned_ && now >= planned_->dueUnix) {
            drawPlanned(now);
            publish();
        } else if (store_.changedElsewhere()) {
            publish();
        }
        lock.lock();
        auto until = std::chrono::system_clock::now() + kWatchInterval;
        if (planned_) {
            until = std::min(until, std::chrono::system_clock::from_time_t(
                                        static_cast<std::time_t>(planned_->dueUnix)));
        }
        wake_.wait_until(lock, until, [this] { return stopping_; });
    }
}

}  // namespace sscplan::appserver
