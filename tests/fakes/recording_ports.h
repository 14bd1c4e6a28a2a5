#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ports.h"

namespace sscplan::testing {

// Counts how often pending events were let run; an optional action runs on each of them
// (with the count so far), standing in for what a window event would do.
class CountingEventPump final : public EventPump {
  public:
    void runPending() override {
        ++count_;
        if (action_) action_(count_);
    }
    int count() const { return count_; }
    void onRun(std::function<void(int)> action) { action_ = std::move(action); }

  private:
    int count_ = 0;
    std::function<void(int)> action_;
};

// Records every text shown; confirm answers with the preset answer.
class RecordingMessageBoxes final : public MessageBoxes {
  public:
    void inform(const std::string& text) override { shown.push_back(text); }
    bool confirm(const std::string& text) override {
        shown.push_back(text);
        return answer;
    }

    std::vector<std::string> shown;
    bool answer = true;
};

}  // namespace sscplan::testing
