#include "plans/plan_base.h"

#include <algorithm>

#include "common/random.h"
#include "platform/ports.h"

namespace sscplan {

std::unique_ptr<PlanBase> PlanBase::clone() const {
    return std::unique_ptr<PlanBase>(new PlanBase(*this));
}

std::string PlanBase::取下期预测(std::int32_t) {
    if (messages_ != nullptr) messages_->inform(kPredictCalledOnInterface);
    return {};
}

bool PlanBase::验证预测(const DrawDigits&, const std::string&) const {
    if (messages_ != nullptr) messages_->inform(kVerifyCalledOnInterface);
    return false;
}

std::string digitAt(const DrawDigits& digits, std::int32_t position) {
    const auto size = static_cast<std::int64_t>(digits.size());
    std::int64_t element = position;
    if (position == 0) return {};
    if (position < 0) element = position + size + 1;
    if (element < 1 || element > size) return {};
    return digits[static_cast<std::size_t>(element - 1)];
}

std::string digitWindow(const DrawDigits& digits, std::int32_t start, std::int32_t width) {
    if (start == 0 || width <= 0) return {};
    const std::int64_t first =
        start > 0 ? std::int64_t{start} : std::int64_t{start} + 6 - width + 1;
    std::string window;
    for (std::int64_t element = first; element < first + width; ++element) {
        if (element >= 1 && element <= static_cast<std::int64_t>(digits.size())) {
            window += digits[static_cast<std::size_t>(element - 1)];
        }
    }
    return window;
}

std::string drawDigitSet(std::int32_t count) {
    const std::int32_t wanted = std::clamp(count, 0, 10);
    std::string set;
    while (static_cast<std::int32_t>(set.size()) < wanted) {
        const char digit = static_cast<char>('0' + randomBetween(0, 9));
        if (set.empty() && digit == '0') continue;
        if (set.find(digit) != std::string::npos) continue;
        set += digit;
    }
    std::sort(set.begin(), set.end());
    return set;
}

bool groupThreeHit(const std::string& window, const std::string& prediction) {
    for (std::size_t i = 0; i < window.size(); ++i) {
        if (window.find(window[i], i + 1) != std::string::npos) {
            return prediction.find(window[i]) != std::string::npos;
        }
    }
    return false;
}

}  // namespace sscplan
