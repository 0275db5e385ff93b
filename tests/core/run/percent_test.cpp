#include "core/run/percent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace velnor::test {
namespace {

// The rounding is done by hand: it must agree with nearbyint, ties to even,
// and clamp to 16 bits, over every step of small pages and past both ends.
TEST(NearestPercent, RoundsAsNearbyintWithTiesToEvenAndClamps) {
    for (const double whole : {1.0, 3.0, 7.0, 8.0, 40.0, 200.0, 1000.0, 1e9, -8.0}) {
        for (double part = -2000; part <= 2000; ++part) {
            const double exact = std::nearbyint(part / whole * 100.0);
            const double clamped = std::fmin(std::fmax(exact, -32768.0), 32767.0);
            ASSERT_EQ(NearestPercent(part, whole), static_cast<std::int16_t>(clamped))
                << part << " of " << whole;
        }
    }
    EXPECT_EQ(NearestPercent(1e300, 1), std::numeric_limits<std::int16_t>::max());
    EXPECT_EQ(NearestPercent(-1e300, 1), std::numeric_limits<std::int16_t>::min());
    EXPECT_EQ(NearestPercent(0, 0), 0); // NaN
}

} // namespace
} // namespace velnor::test
