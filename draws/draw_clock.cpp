#include "draws/draw_clock.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "common/text.h"
#include "platform/clock.h"
#include "server/cloud_client.h"

namespace sscplan {
namespace {

constexpr std::int64_t kPollInterval = 6;  // seconds between the starts of two polls
constexpr std::size_t kNewestDrawTexts = 8;

// Reads exactly `width` ASCII digits at `pos`.
bool readNumber(const std::string& text, std::size_t pos, std::size_t width, int& out) {
    if (pos + width > text.size()) return false;
    int value = 0;
    for (std::size_t i = pos; i < pos + width; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    out = value;
    return true;
}

std::string twoDigits(std::int32_t value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}

}  // namespace

std::int64_t readDrawTime(const std::string& text) {
    // YYYY-MM-DD HH:MM:SS, 19 characters; the date parts may be separated by "/" instead.
    if (text.size() != 19) return kEarliestDrawTime;
    const char dateSeparator = text[4];
    if ((dateSeparator != '-' && dateSeparator != '/') || text[7] != dateSeparator ||
        text[10] != ' ' || text[13] != ':' || text[16] != ':') {
        return kEarliestDrawTime;
    }
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!readNumber(text, 0, 4, year) || !readNumber(text, 5, 2, month) ||
        !readNumber(text, 8, 2, day) || !readNumber(text, 11, 2, hour) ||
        !readNumber(text, 14, 2, minute) || !readNumber(text, 17, 2, second)) {
        return kEarliestDrawTime;
    }
    return localToUnixSeconds(year, month, day, hour, minute, second).value_or(kEarliestDrawTime);
}

std::string DrawClock::formatRemaining(std::int32_t seconds) {
    if (seconds < 0) return {};
    return twoDigits(seconds / 60) + "：" + twoDigits(seconds % 60);
}

std::string DrawClock::countdownText() const {
    // Held within 32 bits rather than wrapped, so that a draw time far in the past never
    // turns into a long countdown.
    const std::int64_t left = nextDrawTime_ - clock_.unixSeconds();
    const std::int64_t held = std::clamp<std::int64_t>(
        left, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
    return formatRemaining(static_cast<std::int32_t>(held));
}

bool DrawClock::fetchNewest(DrawPair& out) {
    std::vector<std::string> texts;
    if (!client_.newestDraw(texts) || texts.size() != kNewestDrawTexts) return false;
    out.latest.date = texts[0];
    out.latest.periodNo = texts[1];
    out.latest.drawTime = texts[2];
    out.latest.numbers = texts[3];
    out.latest.seedValue = textToInt(texts[4]);
    out.next.date = texts[5];
    out.next.periodNo = texts[6];
    out.next.drawTime = texts[7];
    return true;
}

bool DrawClock::refresh(DrawPair& out) {
    if (pollBusy_) return false;
    const std::int64_t now = clock_.unixSeconds();
    if (now < lastPollTime_ + kPollInterval) return false;
    if (now < nextDrawTime_) return false;
    lastPollTime_ = now;
    pollBusy_ = true;

    const std::string latest = client_.latestPeriod();
    const std::size_t length = characterCount(latest);
    const std::string lastThree = length > 3 ? characterSlice(latest, length - 3) : latest;
    if (lastThree == published_.latest.periodNo) {
        pollBusy_ = false;
        return false;
    }
    if (!fetchNewest(out)) {
        pollBusy_ = false;
        return false;
    }
    pollBusy_ = false;
    lastPollTime_ = clock_.unixSeconds();
    if (out.latest.periodNo == published_.latest.periodNo) return false;
    published_ = out;
    nextDrawTime_ = readDrawTime(published_.next.drawTime);
    return true;
}

}  // namespace sscplan
