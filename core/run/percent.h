#pragma once

#include <cstdint>

namespace velnor {

// part / whole * 100 in double, to the nearest integer with ties to even
// (12.5 -> 12, 37.5 -> 38), clamped to the 16-bit range. whole must not be 0.
std::int16_t NearestPercent(double part, double whole);

} // namespace velnor
