#pragma once

#include <cstdint>
#include <string>

namespace velnor {

// part / whole * 100 in double, to the nearest integer with ties to even
// (12.5 -> 12, 37.5 -> 38), clamped to the 16-bit range. whole must not be 0.
std::int16_t NearestPercent(double part, double whole);

// The ratio label's text for a percentage: its decimal digits then "%", no
// leading space ("0%", "74%"). Served from a table for 0..100, so the label
// can be set at every character without formatting or allocating.
const std::string& PercentCaption(std::int16_t percent);

} // namespace velnor
