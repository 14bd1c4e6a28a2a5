#include "server/draw_day.h"

#include <chrono>

namespace sscplan {
namespace {

class Cursor {
  public:
    explicit Cursor(std::string_view text) : text_(text) {}

    bool atEnd() const { return at_ == text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[at_]; }
    bool take(char c) {
        if (peek() != c) return false;
        ++at_;
        return true;
    }
    void skipBlanks() {
        while (peek() == ' ' || peek() == '\t') ++at_;
    }
    // Between `least` and `most` decimal digits; -1 when fewer than `least`.
    int number(std::size_t least, std::size_t most) {
        int value = 0;
        std::size_t digits = 0;
        while (digits < most && peek() >= '0' && peek() <= '9') {
            value = value * 10 + (peek() - '0');
            ++at_;
            ++digits;
        }
        return digits >= least ? value : -1;
    }

  private:
    std::string_view text_;
    std::size_t at_ = 0;
};

// " H:MM[:SS]" or nothing; true when the rest of the text is that.
bool restIsTime(Cursor& cursor) {
    cursor.skipBlanks();
    if (cursor.atEnd()) return true;
    const int hour = cursor.number(1, 2);
    if (hour < 0 || hour > 23 || !cursor.take(':')) return false;
    const int minute = cursor.number(2, 2);
    if (minute < 0 || minute > 59) return false;
    if (cursor.take(':')) {
        const int second = cursor.number(2, 2);
        if (second < 0 || second > 59) return false;
    }
    cursor.skipBlanks();
    return cursor.atEnd();
}

}  // namespace

std::optional<std::string> drawDayText(std::string_view dateText) {
    Cursor cursor(dateText);
    cursor.skipBlanks();
    int year = cursor.number(4, 4);
    int month = -1;
    int day = -1;
    if (year < 0) return std::nullopt;
    const char separator = cursor.peek();
    if (separator == '-' || separator == '/') {
        cursor.take(separator);
        month = cursor.number(1, 2);
        if (month < 0 || !cursor.take(separator)) return std::nullopt;
        day = cursor.number(1, 2);
    } else {
        month = cursor.number(2, 2);
        day = cursor.number(2, 2);
    }
    if (month < 0 || day < 0 || !restIsTime(cursor)) return std::nullopt;

    const std::chrono::year_month_day date{std::chrono::year(year),
                                           std::chrono::month(static_cast<unsigned>(month)),
                                           std::chrono::day(static_cast<unsigned>(day))};
    if (year < 1 || !date.ok()) return std::nullopt;
    return std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day);
}

}  // namespace sscplan
