#pragma once

#include <cstddef>

namespace sscplan {

// The largest program file that an update may carry; the signer and the updater refuse
// larger ones.
inline constexpr std::size_t kMaxUpdateFileBytes = 64u << 20;

// The largest signature file the updater reads (the text form is 129 or 130 bytes).
inline constexpr std::size_t kMaxSignatureFileBytes = 1024;

}  // namespace sscplan
