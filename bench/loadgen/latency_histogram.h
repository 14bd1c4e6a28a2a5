#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

// Call latencies in microseconds, counted in buckets so that memory stays the same however
// long a run lasts: one bucket per microsecond below 2,048 µs, above that 1,024 buckets
// per power of two, so a bucket is never wider than 0.1 % of its values.
class LatencyHistogram {
  public:
    void add(std::uint32_t us) {
        ++counts_[indexOf(us)];
        ++count_;
        max_ = std::max(max_, us);
    }

    void merge(const LatencyHistogram& other) {
        for (std::size_t i = 0; i < kBuckets; ++i) counts_[i] += other.counts_[i];
        count_ += other.count_;
        max_ = std::max(max_, other.max_);
    }

    void clear() {
        std::fill(counts_.begin(), counts_.end(), 0);
        count_ = 0;
        max_ = 0;
    }

    std::uint64_t count() const { return count_; }
    std::uint32_t max() const { return max_; }  // exact; 0 when empty

    // The value at index p * (count - 1) of the sorted latencies (p from 0 to 1), as the
    // lower edge of its bucket; 0 when empty.
    std::uint32_t percentile(double p) const {
        if (count_ == 0) return 0;
        const auto rank = static_cast<std::uint64_t>(p * static_cast<double>(count_ - 1));
        std::uint64_t below = 0;
        for (std::size_t i = 0; i < kBuckets; ++i) {
            below += counts_[i];
            if (below > rank) return lowerEdge(i);
        }
        return max_;
    }

  private:
    static constexpr int kSubBits = 10;
    static constexpr std::uint32_t kSub = 1u << kSubBits;  // buckets per power of two
    static constexpr std::uint32_t kExact = 2 * kSub;      // values below are exact
    // Values of 2^11 µs and more have their highest bit at 11 to 31.
    static constexpr std::size_t kBuckets = kExact + (32 - kSubBits - 1) * kSub;

    static std::size_t indexOf(std::uint32_t us) {
        if (us < kExact) return us;
        const int shift = std::bit_width(us) - 1 - kSubBits;  // 1 for 2^11 µs to 2^12 - 1
        const std::uint32_t top = us >> shift;                // kSub to 2 * kSub - 1
        return kExact + static_cast<std::size_t>(shift - 1) * kSub + (top - kSub);
    }

    static std::uint32_t lowerEdge(std::size_t index) {
        if (index < kExact) return static_cast<std::uint32_t>(index);
        const std::size_t above = index - kExact;
        const auto shift = static_cast<int>(above / kSub) + 1;
        return (kSub + static_cast<std::uint32_t>(above % kSub)) << shift;
    }

    std::vector<std::uint64_t> counts_ = std::vector<std::uint64_t>(kBuckets);
    std::uint64_t count_ = 0;
    std::uint32_t max_ = 0;
};
