#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sscplan {

class MessageBoxes;

// The digits of one draw: five one-character texts, the first drawn digit first.
using DrawDigits = std::vector<std::string>;

// The interface of every plan kind. A plan answers two questions: what to bet for the
// coming period (取下期预测, from a seed alone) and whether a prediction hit a draw
// (验证预测). Window length, display mode and name are plain properties that the engine
// copies when the plan is registered.
//
// A plain PlanBase is no plan: its two questions tell the user so through the message
// port (when one is set) and answer the empty text and false.
class PlanBase {
  public:
    PlanBase() = default;
    virtual ~PlanBase() = default;

    // A deep copy with every field and the message port.
    virtual std::unique_ptr<PlanBase> clone() const;

    // Periods one prediction stays open (1 = a single period). Default 3.
    virtual std::int32_t windowLength() const { return windowLength_; }
    void setWindowLength(std::int32_t value) { windowLength_ = value; }
    // 1 = the prediction on every row; 2 = results only, the newest prediction at the end.
    virtual std::int32_t displayMode() const { return displayMode_; }
    void setDisplayMode(std::int32_t value) { displayMode_ = value; }
    virtual std::string name() const { return name_; }
    void setName(const std::string& text) { name_ = text; }

    // Seeds the process-wide generator with `seed` once, then draws the prediction.
    virtual std::string 取下期预测(std::int32_t seed);
    // True when `prediction` hit the draw `digits`. No side effects.
    virtual bool 验证预测(const DrawDigits& digits, const std::string& prediction) const;

    // Where the interface messages go; nullptr shows nothing. Not owned.
    void setMessageBoxes(MessageBoxes* messages) { messages_ = messages; }

  protected:
    PlanBase(const PlanBase&) = default;
    PlanBase& operator=(const PlanBase&) = default;

  private:
    std::string name_;
    std::int32_t windowLength_ = 3;
    std::int32_t displayMode_ = 1;
    MessageBoxes* messages_ = nullptr;
};

inline constexpr const char* kPredictCalledOnInterface =
    "错误！接口类函数 取下期预测（） 被直接调用";
inline constexpr const char* kVerifyCalledOnInterface = "错误！接口类函数 验证预测 被直接调用";

// Routines shared by the kinds.

// Position code p: p > 0 names digit p from the front, p < 0 digit p + 6 (for five digits)
// from the back, 0 names none. A code that names no element gives the empty text.
std::string digitAt(const DrawDigits& digits, std::int32_t position);

// `width` adjacent digits joined: start > 0 from element start onwards; start < 0 ending
// at element start + 6 (−1 ends at the last digit); start 0 the empty text. Elements
// outside the draw contribute nothing.
std::string digitWindow(const DrawDigits& digits, std::int32_t start, std::int32_t width);

// `count` distinct digits drawn from the generator (a first 0 is discarded), ascending,
// no separator. Counts below 0 give the empty text, above 10 are held at 10.
std::string drawDigitSet(std::int32_t count);

// The first digit of `window` that occurs twice is in `prediction`; false when no digit
// repeats.
bool groupThreeHit(const std::string& window, const std::string& prediction);

}  // namespace sscplan
