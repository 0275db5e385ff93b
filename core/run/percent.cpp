#include "core/run/percent.h"

#include <array>
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

const std::string& PercentCaption(std::int16_t percent) {
    static const std::array<std::string, 101> table = [] {
        std::array<std::string, 101> captions;
        for (int i = 0; i <= 100; ++i)
            captions[i] = std::to_string(i) + "%";
        return captions;
    }();
    if (percent >= 0 && percent <= 100)
        return table[percent];
    // Never reached by a run (kept never exceeds scanned); kept for callers
    // outside that range.
    thread_local std::string other;
    other = std::to_string(percent) + "%";
    return other;
}

} // namespace velnor
