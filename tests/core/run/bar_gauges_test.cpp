#include "core/run/bar_gauges.h"
#include "tests/support/scripted_window.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace velnor::test {
namespace {

TEST(BarGauges, EachCallLightsAtMostOneCellOnceThePercentagePassesIt) {
    // Calls of UpdateFileBar, as {percent, times}, on a gauge showing its design-time caption,
    // and the cells it shows afterwards: 0 empties it; each call lights one cell while the cells
    // are short of 0.6 per percent (1%: one); falling percentages remove nothing; a new page goes
    // on from the cells shown; 100% stops at 60 and 101% at 61, nothing else caps it; a negative
    // lights nothing; an emptied gauge lights again.
    const std::pair<std::vector<std::pair<int, int>>, std::int16_t> cases[] = {
        {{{0, 1}, {100, 10}, {0, 1}}, 0},
        {{{0, 1}, {100, 60}}, 60},
        {{{0, 1}, {100, 61}}, 60},
        {{{0, 1}, {1, 5}}, 1},
        {{{0, 1}, {80, 48}, {20, 5}}, 48},
        {{{0, 1}, {100, 20}, {10, 3}, {50, 1}}, 21},
        {{{0, 1}, {101, 61}}, 61},
        {{{0, 1}, {-1, 10}}, 0},
        {{{0, 1}, {1, 5}, {0, 1}, {1, 1}}, 1}};
    for (const auto& [calls, cells] : cases) {
        ScriptedWindow window;
        window.FileBarCells = 60; // the design-time caption
        BarGauges gauges(window);
        for (const auto& [percent, times] : calls)
            for (int i = 0; i < times; ++i)
                gauges.UpdateFileBar(static_cast<std::int16_t>(percent));
        EXPECT_EQ(window.FileBarCells, cells) << ::testing::PrintToString(calls);
        EXPECT_EQ(gauges.FileBarCells, cells);
        EXPECT_EQ(window.PackBarCells, 0);
    }
}

} // namespace
} // namespace velnor::test
