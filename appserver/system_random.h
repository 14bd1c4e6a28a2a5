#pragma once

#include <cstdint>
#include <string>

// Draws and secrets come from the operating system's random source (getrandom), never
// from the program's seeded generator.

namespace sscplan::appserver {

// `count` random bytes. Aborts the process when the kernel's source fails, which only
// happens on a broken system: a server must not run on guessable secrets.
std::string systemRandomBytes(std::size_t count);

// Five decimal digits, each uniform over 0 ... 9.
std::string randomDrawNumbers();

// A seed value uniform over 1 ... 2^31 - 1.
std::int32_t randomSeedValue();

}  // namespace sscplan::appserver
