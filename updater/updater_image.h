#pragma once

#include <cstdint>
#include <span>

namespace sscplan {

// The updater program, carried by the desktop program and written out by the update
// hand-over.
std::span<const std::uint8_t> updaterImage();

}  // namespace sscplan
