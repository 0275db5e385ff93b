#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace velnor {

// part / whole * 100 in double, to the nearest integer with ties to even
// (12.5 -> 12, 37.5 -> 38), clamped to the 16-bit range. whole must not be 0.
// A run works this out three times a character, so it stays inline and rounds
// by adding and taking away 2^52, where a double has no fraction bits left:
// the addition rounds to nearest, ties to even, as nearbyint does in the
// default mode, and nothing here changes the mode.
inline std::int16_t NearestPercent(double part, double whole) {
    constexpr double low = std::numeric_limits<std::int16_t>::min();
    constexpr double high = std::numeric_limits<std::int16_t>::max();
    const double percent = part / whole * 100.0;
    if (std::isnan(percent))
        return 0;
    if (percent <= low)
        return std::numeric_limits<std::int16_t>::min();
    if (percent >= high)
        return std::numeric_limits<std::int16_t>::max();
    constexpr double shift = 0x1p52;
    const double rounded = percent >= 0 ? (percent + shift) - shift : (percent - shift) + shift;
    return static_cast<std::int16_t>(rounded);
}

} // namespace velnor
