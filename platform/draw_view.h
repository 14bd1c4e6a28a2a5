#pragma once

#include <string>

namespace sscplan {

// What the draw side writes into the main window: the countdown label, the history list
// and the current-draw labels.
class DrawView {
  public:
    virtual ~DrawView() = default;
    // The countdown label's text, unchanged.
    virtual void showDrawTime(const std::string& text) = 0;
    // A new top row of the history list: the period in the first column, the digits in the
    // second.
    virtual void addHistoryRow(const std::string& period, const std::string& numbers) = 0;
    // The current-period label gets `period` unchanged; the five digit labels get the
    // characters of `digits` one by one, each shown as a number ("0" for a non-digit or a
    // missing position).
    virtual void showCurrentDraw(const std::string& period, const std::string& digits) = 0;
};

}  // namespace sscplan
