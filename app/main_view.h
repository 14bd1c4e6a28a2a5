#pragma once

#include <cstdint>

#include "platform/draw_view.h"

namespace sscplan {

class MainWindow;

// The one place through which the draw data and the settings controls of the main window
// are written and read. Holds nothing but the window it writes into; before bind (or
// after the window is gone) writes do nothing and reads give 0.
class MainView final : public DrawView {
  public:
    void bind(MainWindow* window) { window_ = window; }

    void showDrawTime(const std::string& text) override;
    void addHistoryRow(const std::string& period, const std::string& numbers) override;
    void showCurrentDraw(const std::string& period, const std::string& digits) override;
    // false: the countdown timer runs every 100 ms; true: it stops.
    void setCountdownStopped(bool stopped);
    // The selected item of the formula period choice as a number; 0 when none is selected.
    std::int32_t formulaPeriodChoice() const;
    // The bet-count edit box's text as a number.
    std::int32_t betCount() const;
    void setBetCount(std::int32_t n);

  private:
    MainWindow* window_ = nullptr;
};

}  // namespace sscplan
