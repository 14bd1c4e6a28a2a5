#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/random.h"
#include "plans/plan_base.h"
#include "platform/ports.h"

namespace sscplan::testing {

// What a ScriptedPlan and its clones saw, and how they answer.
struct PlanScript {
    std::vector<std::int32_t> seeds;             // every 取下期预测 seed, in order
    std::vector<std::uint32_t> generatorStates;  // the generator's state at each of them
    std::vector<std::string> verifiedDigits;     // every 验证预测 draw, digits joined
    // Calls of 取下期预测 (1-based) whose prediction hits; used when hitsWhen is empty.
    std::set<int> hittingCalls;
    // Decides hits by the draw instead, when set.
    std::function<bool(const DrawDigits&)> hitsWhen;
    std::string fixedPrediction;  // when not empty, every prediction; else "try<call>"
};

// A plan whose predictions and outcomes the test controls. Predictions are recorded and
// the generator is left alone, so the engine's own draws can be observed.
class ScriptedPlan final : public PlanBase {
  public:
    ScriptedPlan(std::shared_ptr<PlanScript> script, std::string name, std::int32_t window = 1,
                 std::int32_t mode = 1)
        : script_(std::move(script)), name_(std::move(name)) {
        setWindowLength(window);
        setDisplayMode(mode);
    }
    std::unique_ptr<PlanBase> clone() const override {
        return std::make_unique<ScriptedPlan>(*this);
    }
    std::string name() const override { return name_; }
    std::string 取下期预测(std::int32_t seed) override {
        script_->seeds.push_back(seed);
        script_->generatorStates.push_back(randomState());
        if (!script_->fixedPrediction.empty()) return script_->fixedPrediction;
        return "try" + std::to_string(script_->seeds.size());
    }
    bool 验证预测(const DrawDigits& digits, const std::string& prediction) const override {
        std::string joined;
        for (const std::string& digit : digits) joined += digit;
        script_->verifiedDigits.push_back(joined);
        if (script_->hitsWhen) return script_->hitsWhen(digits);
        for (int call : script_->hittingCalls) {
            if (prediction == "try" + std::to_string(call)) return true;
        }
        return false;
    }

  private:
    std::shared_ptr<PlanScript> script_;
    std::string name_;
};

// Hits every draw whose first digit is 1.
inline bool firstDigitIsOne(const DrawDigits& digits) {
    return !digits.empty() && digits[0] == "1";
}

// Records every change of the box, and every pump run, in one log.
struct UiLog {
    std::vector<std::string> events;
    std::string text;
};

class FakePlanBox final : public PlanBox {
  public:
    explicit FakePlanBox(UiLog& log) : log_(log) {}
    void setText(const std::string& text) override {
        log_.text = text;
        log_.events.push_back("setText");
    }
    void placeCaretAtEnd() override { log_.events.push_back("caretAtEnd"); }

  private:
    UiLog& log_;
};

class FakeEventPump final : public EventPump {
  public:
    explicit FakeEventPump(UiLog& log) : log_(log) {}
    void runPending() override { log_.events.push_back("runPending"); }

  private:
    UiLog& log_;
};

class FakeMessageBoxes final : public MessageBoxes {
  public:
    void inform(const std::string& text) override { shown.push_back(text); }
    bool confirm(const std::string& text) override {
        shown.push_back(text);
        return true;
    }
    std::vector<std::string> shown;
};

}  // namespace sscplan::testing
