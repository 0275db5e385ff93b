#include "ui/twips.h"

#include <gtest/gtest.h>

namespace velnor {
namespace {

struct TwipsCase {
    int twips;
    int dpi;
    int pixels;
};

TEST(Twips, FifteenTwipsMakeAPixelAt96DpiAndScaleWithTheDpi) {
    const TwipsCase cases[] = {{0, 96, 0},      {15, 96, 1},      {7950, 96, 530}, {5940, 96, 396},
                               {2895, 96, 193}, {180, 96, 12},    {7, 96, 0},      {8, 96, 1},
                               {1440, 96, 96},  {7950, 144, 795}, {180, 192, 24},  {1440, 120, 120},
                               {375, 120, 31}};
    for (const auto& c : cases)
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
}

TEST(Twips, ARectangleConvertsEachSideOnItsOwnAxis) {
    EXPECT_EQ(TwipsRect(6360, 960, 1215, 495, 96, 96), QRect(424, 64, 81, 33));
    EXPECT_EQ(TwipsRect(1440, 1440, 1440, 1440, 96, 192), QRect(96, 192, 96, 192));
}

} // namespace
} // namespace velnor
