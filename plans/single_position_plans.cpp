#include "plans/single_position_plans.h"

#include "common/random.h"
#include "common/text.h"

namespace sscplan {
namespace {

constexpr const char* kOdd = "单";
constexpr const char* kEven = "双";
constexpr const char* kSmall = "小";
constexpr const char* kBig = "大";

std::string drawOddEven() { return randomBetween(1, 2) == 1 ? kOdd : kEven; }
std::string drawBigSmall() { return randomBetween(1, 2) == 1 ? kSmall : kBig; }

std::string oddEvenOf(std::int32_t value) { return value % 2 != 0 ? kOdd : kEven; }

std::int32_t digitSum(const DrawDigits& digits) {
    std::int32_t sum = 0;
    for (std::int32_t position = 1; position <= 5; ++position) {
        sum += textToInt(digitAt(digits, position));
    }
    return sum;
}

}  // namespace

std::unique_ptr<PlanBase> FiveStarSingleDigitPlan::clone() const {
    return std::make_unique<FiveStarSingleDigitPlan>(*this);
}

std::string FiveStarSingleDigitPlan::取下期预测(std::int32_t seed) {
    seedRandom(seed);
    return std::to_string(randomBetween(0, 9));
}

bool FiveStarSingleDigitPlan::验证预测(const DrawDigits& digits,
                                       const std::string& prediction) const {
    for (const std::string& digit : digits) {
        if (digit == prediction) return true;
    }
    return false;
}

std::unique_ptr<PlanBase> SumOddEvenPlan::clone() const {
    return std::make_unique<SumOddEvenPlan>(*this);
}

std::string SumOddEvenPlan::取下期预测(std::int32_t seed) {
    seedRandom(seed);
    return drawOddEven();
}

bool SumOddEvenPlan::验证预测(const DrawDigits& digits, const std::string& prediction) const {
    return prediction == oddEvenOf(digitSum(digits));
}

std::unique_ptr<PlanBase> SumBigSmallPlan::clone() const {
    return std::make_unique<SumBigSmallPlan>(*this);
}

std::string SumBigSmallPlan::取下期预测(std::int32_t seed) {
    seedRandom(seed);
    return drawBigSmall();
}

bool SumBigSmallPlan::验证预测(const DrawDigits& digits, const std::string& prediction) const {
    return prediction == (digitSum(digits) <= 22 ? kSmall : kBig);
}

std::unique_ptr<PlanBase> PositionOddEvenPlan::clone() const {
    return std::make_unique<PositionOddEvenPlan>(*this);
}

std::string PositionOddEvenPlan::取下期预测(std::int32_t seed) {
    seedRandom(seed);
    return drawOddEven();
}

bool PositionOddEvenPlan::验证预测(const DrawDigits& digits, const std::string& prediction) const {
    return prediction == oddEvenOf(textToInt(digitAt(digits, position_)));
}

void PositionOddEvenPlan::configure(std::int32_t position, const std::string& specName) {
    position_ = position;
    specName_ = specName;
}

std::unique_ptr<PlanBase> PositionBigSmallPlan::clone() const {
    return std::make_unique<PositionBigSmallPlan>(*this);
}

std::string PositionBigSmallPlan::取下期预测(std::int32_t seed) {
    seedRandom(seed);
    return drawBigSmall();
}

bool PositionBigSmallPlan::验证预测(const DrawDigits& digits, const std::string& prediction) const {
    return prediction == (textToInt(digitAt(digits, position_)) <= 4 ? kSmall : kBig);
}

void PositionBigSmallPlan::configure(std::int32_t position, const std::string& specName) {
    position_ = position;
    specName_ = specName;
}

}  // namespace sscplan
