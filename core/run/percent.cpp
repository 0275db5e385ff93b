#include "core/run/percent.h"

#include <cmath>
#include <limits>

namespace velnor {

std::int16_t NearestPercent(double part, double whole) {
    // nearbyint rounds in the current mode; nothing here changes it from the
    // default round-to-nearest-even.
    const double percent = std::nearbyint(part / whole * 100.0);
    constexpr double low = std::numeric_limits<std::int16_t>::min();
    constexpr double high = std::numeric_limits<std::int16_t>::max();
    if (std::isnan(percent))
        return 0;
    if (percent < low)
        return std::numeric_limits<std::int16_t>::min();
    if (percent > high)
        return std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(percent);
}

} // namespace velnor
