#pragma once

#include "plans/plan_base.h"

// The plan kinds whose prediction is one value.

namespace sscplan {

// 五星独胆: one digit; hit when it occurs anywhere in the draw.
class FiveStarSingleDigitPlan final : public PlanBase {
  public:
    std::unique_ptr<PlanBase> clone() const override;
    std::string name() const override { return "五星独胆"; }
    std::string 取下期预测(std::int32_t seed) override;
    bool 验证预测(const DrawDigits& digits, const std::string& prediction) const override;
};

// 五星和值单双: "单" or "双" for the parity of the sum of the five digits.
class SumOddEvenPlan final : public PlanBase {
  public:
    std::unique_ptr<PlanBase> clone() const override;
    std::string name() const override { return "五星和值单双"; }
    std::string 取下期预测(std::int32_t seed) override;
    bool 验证预测(const DrawDigits& digits, const std::string& prediction) const override;
};

// 五星和值大小: "小" for a sum of 22 or less, else "大".
class SumBigSmallPlan final : public PlanBase {
  public:
    std::unique_ptr<PlanBase> clone() const override;
    std::string name() const override { return "五星和值大小"; }
    std::string 取下期预测(std::int32_t seed) override;
    bool 验证预测(const DrawDigits& digits, const std::string& prediction) const override;
};

// "单" or "双" for the parity of the digit at a position code (0 reads as 0: even).
class PositionOddEvenPlan final : public PlanBase {
  public:
    std::unique_ptr<PlanBase> clone() const override;
    std::string name() const override { return specName_; }
    std::string 取下期预测(std::int32_t seed) override;
    bool 验证预测(const DrawDigits& digits, const std::string& prediction) const override;
    void configure(std::int32_t position, const std::string& specName);
    std::int32_t position() const { return position_; }

  private:
    std::int32_t position_ = 0;
    std::string specName_;
};

// "小" for a digit of 4 or less at a position code, else "大".
class PositionBigSmallPlan final : public PlanBase {
  public:
    std::unique_ptr<PlanBase> clone() const override;
    std::string name() const override { return specName_; }
    std::string 取下期预测(std::int32_t seed) override;
    bool 验证预测(const DrawDigits& digits, const std::string& prediction) const override;
    void configure(std::int32_t position, const std::string& specName);
    std::int32_t position() const { return position_; }

  private:
    std::int32_t position_ = 0;
    std::string specName_;
};

}  // namespace sscplan
