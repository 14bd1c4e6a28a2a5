#pragma once

#include <functional>
#include <string>

#include "app/startup_host.h"

class QWidget;

namespace sscplan {

// The small window shown while start-up runs. It exists only while it is open. When the
// user closes it, `onUserClose` runs (the program ends); closing by the program does not.
class LoadingWindow final : public LoadingScreen {
  public:
    explicit LoadingWindow(std::string caption, std::function<void()> onUserClose);
    ~LoadingWindow() override;
    LoadingWindow(const LoadingWindow&) = delete;
    LoadingWindow& operator=(const LoadingWindow&) = delete;

    bool show(const std::string& text) override;
    bool close() override;

    // The open window, nullptr when none is open.
    QWidget* window() const { return window_; }

  private:
    std::string caption_;
    std::function<void()> onUserClose_;
    QWidget* window_ = nullptr;
};

}  // namespace sscplan
