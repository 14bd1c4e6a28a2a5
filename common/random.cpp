#include "common/random.h"

#include <utility>

namespace sscplan {
namespace {
std::uint32_t state = 1;
}

void seedRandom(std::int32_t seed) { state = static_cast<std::uint32_t>(seed); }

std::int32_t nextRandom() {
    state = state * 214013u + 2531011u;
    return static_cast<std::int32_t>((state >> 16) & 0x7FFF);
}

std::int32_t randomBetween(std::int32_t a, std::int32_t b) {
    if (a < 0) a = 0;
    if (b < 0) b = 0;
    if (a > b) std::swap(a, b);
    if (a == b) return a;
    const std::int64_t span = std::int64_t{b} - a + 1;
    return static_cast<std::int32_t>(a + nextRandom() % span);
}

std::uint32_t randomState() { return state; }

}  // namespace sscplan
