#pragma once

#include <cstdint>

// The process-wide pseudo-random generator. Every plan kind reseeds it before it draws,
// and the plan engine draws its hit targets from it, so the order of calls decides every
// outcome. One thread only.

namespace sscplan {

// Sets the state to `seed`. Before any seeding the state is 1.
void seedRandom(std::int32_t seed);

// Advances the state (state * 214013 + 2531011 mod 2^32) and yields (state / 65536) mod
// 32768: 0 to 32767.
std::int32_t nextRandom();

// An integer from a to b inclusive: negative bounds count as 0, bounds are swapped when
// a > b, equal bounds give a without drawing, otherwise a + nextRandom() mod (b - a + 1).
std::int32_t randomBetween(std::int32_t a, std::int32_t b);

// The raw state, for tests that check the order of draws.
std::uint32_t randomState();

}  // namespace sscplan
