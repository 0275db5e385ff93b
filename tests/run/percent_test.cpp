#include "run/percent.h"

#include <gtest/gtest.h>

namespace velnor {
namespace {

struct PercentCase {
    double part;
    double whole;
    std::int16_t expected;
};

class NearestPercentTest : public ::testing::TestWithParam<PercentCase> {};

TEST_P(NearestPercentTest, RoundsToTheNearestWithTiesToEven) {
    const PercentCase c = GetParam();
    EXPECT_EQ(NearestPercent(c.part, c.whole), c.expected) << c.part << "/" << c.whole;
}

INSTANTIATE_TEST_SUITE_P(Ratios, NearestPercentTest,
                         ::testing::Values(PercentCase{1, 8, 12},    // 12.5
                                           PercentCase{3, 8, 38},    // 37.5
                                           PercentCase{14, 19, 74},  // 73.68...
                                           PercentCase{1, 200, 0},   // 0.5
                                           PercentCase{3, 200, 2},   // 1.5
                                           PercentCase{5, 200, 2},   // 2.5
                                           PercentCase{99, 200, 50}, // 49.5
                                           PercentCase{0, 7, 0}, PercentCase{7, 7, 100},
                                           PercentCase{2, 3, 67}, PercentCase{1, 3, 33}));

TEST(NearestPercent, StaysInTheSixteenBitRange) {
    EXPECT_EQ(NearestPercent(1e9, 1), 32767);
    EXPECT_EQ(NearestPercent(-1e9, 1), -32768);
    EXPECT_EQ(NearestPercent(0, 0), 0);
}

TEST(PercentCaption, IsTheDigitsThenAPercentSign) {
    EXPECT_EQ(PercentCaption(0), "0%");
    EXPECT_EQ(PercentCaption(7), "7%");
    EXPECT_EQ(PercentCaption(74), "74%");
    EXPECT_EQ(PercentCaption(100), "100%");
    EXPECT_EQ(PercentCaption(250), "250%");
    EXPECT_EQ(PercentCaption(-3), "-3%");
}

} // namespace
} // namespace velnor
