#pragma once

#include <vector>

#include "plans/plan_base.h"

// The plan kinds whose prediction is a set of digits or numbers.

namespace sscplan {

// 前中后组三复式: eight digits; hit when the last, first or middle three digits are a
// group-three result whose repeated digit is in the set.
class AnyGroupThreePlan final : public PlanBase {
  public:
    std::unique_ptr<PlanBase> clone() const override;
    std::string name() const override { return "前中后组三复式"; }
    std::string 取下期预测(std::int32_t seed) override;
    bool 验证预测(const DrawDigits& digits, const std::string& prediction) const override;
};

// N 码: codeCount digits for one position.
class PositionCodesPlan final : public PlanBase {
  public:
    std::unique_ptr<PlanBase> clone() const override;
    std::string name() const override { return specName_; }
    std::string 取下期预测(std::int32_t seed) override;
    // A position that names no digit never hits.
    bool 验证预测(const DrawDigits& digits, const std::string& prediction) const override;
    void configure(std::int32_t position, std::int32_t codeCount, const std::string& specName);
    std::int32_t position() const { return position_; }
    std::int32_t codeCount() const { return codeCount_; }

  private:
    std::int32_t position_ = 0;
    std::int32_t codeCount_ = 0;
    std::string specName_;
};

// 组六复式: eight digits; hit when the window's digits are all different and in the set.
class GroupSixPlan final : public PlanBase {
  public:
    std::unique_ptr<PlanBase> clone() const override;
    std::string name() const override { return specName_; }
    std::string 取下期预测(std::int32_t seed) override;
    // An empty window never hits.
    bool 验证预测(const DrawDigits& digits, const std::string& prediction) const override;
    void configure(std::int32_t start, std::int32_t width, const std::string& specName);
    std::int32_t start() const { return start_; }
    std::int32_t width() const { return width_; }

  private:
    std::int32_t start_ = 0;
    std::int32_t width_ = 0;
    std::string specName_;
};

// 组三复式: eight digits; the group-three test on the window. Its window is always 4.
class GroupThreePlan final : public PlanBase {
  public:
    std::unique_ptr<PlanBase> clone() const override;
    std::int32_t windowLength() const override { return 4; }
    std::string name() const override { return specName_; }
    std::string 取下期预测(std::int32_t seed) override;
    bool 验证预测(const DrawDigits& digits, const std::string& prediction) const override;
    void configure(std::int32_t start, std::int32_t width, const std::string& specName);
    std::int32_t start() const { return start_; }
    std::int32_t width() const { return width_; }

  private:
    std::int32_t start_ = 0;
    std::int32_t width_ = 0;
    std::string specName_;
};

// 单式: betCount distinct width-digit numbers, ascending, each zero-padded and followed by
// a blank. Always display mode 2.
class StraightSinglePlan final : public PlanBase {
  public:
    std::unique_ptr<PlanBase> clone() const override;
    std::int32_t displayMode() const override { return 2; }
    std::string name() const override { return specName_; }
    // More bets than the generator can reach as distinct numbers (min(10^width, 32768))
    // are held at that number.
    std::string 取下期预测(std::int32_t seed) override;
    // An empty window never hits.
    bool 验证预测(const DrawDigits& digits, const std::string& prediction) const override;
    // Negative counts and widths count as 0.
    void configure(std::int32_t start, std::int32_t width, std::int32_t betCount,
                   const std::string& specName);
    std::int32_t start() const { return start_; }
    std::int32_t width() const { return width_; }
    std::int32_t betCount() const { return betCount_; }

  private:
    std::int32_t start_ = 0;
    std::int32_t width_ = 0;
    std::int32_t betCount_ = 0;
    std::string specName_;
    std::vector<std::int32_t> numbers_;
    std::string builder_;
    std::vector<std::int32_t> powers_;  // 10, 100, ..., 10^(width-1), then 0
};

// 复式: one digit set per position, groups joined by ",". Display mode 1 below width 3.
class StraightCompoundPlan final : public PlanBase {
  public:
    std::unique_ptr<PlanBase> clone() const override;
    std::int32_t displayMode() const override { return width_ < 3 ? 1 : 2; }
    std::string name() const override { return specName_; }
    std::string 取下期预测(std::int32_t seed) override;
    bool 验证预测(const DrawDigits& digits, const std::string& prediction) const override;
    // partsText: the per-position digit counts separated by "*" ("5*5"); the width is the
    // number of parts.
    void configure(std::int32_t start, const std::string& partsText, const std::string& specName);
    std::int32_t start() const { return start_; }
    std::int32_t width() const { return width_; }
    const std::vector<std::int32_t>& partCounts() const { return partCounts_; }

  private:
    std::int32_t start_ = 0;
    std::int32_t width_ = 0;
    std::vector<std::int32_t> partCounts_;
    std::string specName_;
};

}  // namespace sscplan
