#include "run/bar_gauges.h"
#include "tests/support/scripted_window.h"

#include <gtest/gtest.h>

#include <string>

namespace velnor {
namespace {

class BarGaugesTest : public ::testing::Test {
protected:
    void Pass(std::int16_t percent, int times) {
        for (int i = 0; i < times; ++i)
            gauges.UpdateFileBar(percent);
    }
    std::size_t FileCells() const { return window.Cells(Gauge::FileBar); }

    test::ScriptedWindow window;
    BarGauges gauges{window};
};

TEST_F(BarGaugesTest, ZeroEmptiesTheGaugeWhateverItShowed) {
    window.FileBarCaption = std::string(60, '|'); // the design-time caption
    gauges.UpdateFileBar(0);
    EXPECT_EQ(window.FileBarCaption, "");
    EXPECT_EQ(gauges.FileBarCells, 0);

    Pass(100, 10);
    gauges.UpdateFileBar(0);
    EXPECT_EQ(window.FileBarCaption, "");
    EXPECT_EQ(gauges.FileBarCells, 0);
}

TEST_F(BarGaugesTest, ZeroSetsTheCaptionEvenWhenAlreadyEmpty) {
    gauges.UpdateFileBar(0);
    gauges.UpdateFileBar(0);
    EXPECT_EQ(window.GaugeSets.size(), 2u);
}

TEST_F(BarGaugesTest, EachCallLightsAtMostOneCell) {
    gauges.UpdateFileBar(0);
    Pass(100, 1);
    EXPECT_EQ(FileCells(), 1u);
    Pass(100, 59);
    EXPECT_EQ(FileCells(), 60u);
    EXPECT_EQ(gauges.FileBarCells, 60);

    const std::size_t sets = window.GaugeSets.size();
    Pass(100, 1);
    EXPECT_EQ(FileCells(), 60u);
    EXPECT_EQ(window.GaugeSets.size(), sets);
}

TEST_F(BarGaugesTest, SmallPercentagesSettleAtTheCellsTheyReach) {
    gauges.UpdateFileBar(0);
    Pass(1, 5);
    EXPECT_EQ(FileCells(), 1u); // 0.6 of a cell lights one

    gauges.UpdateFileBar(0);
    Pass(3, 5);
    EXPECT_EQ(FileCells(), 2u); // 1.8 cells
}

TEST_F(BarGaugesTest, RisingPercentagesSettleAtTheSmallestWholeNumberNotBelowSixTenths) {
    for (int percent = 1; percent <= 100; ++percent) {
        gauges.UpdateFileBar(0);
        Pass(static_cast<std::int16_t>(percent), 100);
        const std::size_t expected = (percent * 60 + 99) / 100;
        EXPECT_EQ(FileCells(), expected) << percent << "%";
        EXPECT_EQ(gauges.FileBarCells, static_cast<std::int16_t>(expected)) << percent << "%";
    }
}

TEST_F(BarGaugesTest, FallingPercentagesRemoveNothing) {
    gauges.UpdateFileBar(0);
    Pass(80, 48);
    EXPECT_EQ(FileCells(), 48u);
    Pass(20, 5);
    EXPECT_EQ(FileCells(), 48u);
}

TEST_F(BarGaugesTest, NothingChangedMeansTheLabelIsNeitherReadNorWritten) {
    gauges.UpdateFileBar(0);
    Pass(50, 30);
    const std::size_t reads = window.GaugeReads;
    const std::size_t sets = window.GaugeSets.size();
    Pass(50, 100);
    Pass(10, 100);
    Pass(-5, 100);
    EXPECT_EQ(window.GaugeReads, reads);
    EXPECT_EQ(window.GaugeSets.size(), sets);
}

TEST_F(BarGaugesTest, ACellIsAppendedToWhatTheLabelShows) {
    gauges.UpdateFileBar(0);
    window.FileBarCaption = "ab"; // written by someone else
    gauges.UpdateFileBar(50);
    EXPECT_EQ(window.FileBarCaption, "ab|");
    EXPECT_EQ(gauges.FileBarCells, 1);
}

TEST_F(BarGaugesTest, ANewSequenceContinuesFromTheCellsLeftBefore) {
    gauges.UpdateFileBar(0);
    Pass(100, 20);
    Pass(10, 3); // a new page whose first value is not 0
    EXPECT_EQ(FileCells(), 20u);
    Pass(50, 1);
    EXPECT_EQ(FileCells(), 21u);
}

TEST_F(BarGaugesTest, NothingCapsTheGaugeAboveAHundredAndNegativeAddsNothing) {
    gauges.UpdateFileBar(0);
    Pass(101, 61);
    EXPECT_EQ(FileCells(), 61u);
    gauges.UpdateFileBar(0);
    Pass(-1, 10);
    EXPECT_EQ(FileCells(), 0u);
}

TEST_F(BarGaugesTest, TheTwoGaugesMoveIndependently) {
    gauges.UpdateFileBar(0);
    gauges.UpdatePackBar(0);
    Pass(100, 10);
    for (int i = 0; i < 4; ++i)
        gauges.UpdatePackBar(100);
    EXPECT_EQ(window.Cells(Gauge::FileBar), 10u);
    EXPECT_EQ(window.Cells(Gauge::PackBar), 4u);
    EXPECT_EQ(gauges.PackBarCells, 4);

    gauges.UpdatePackBar(0);
    EXPECT_EQ(window.Cells(Gauge::FileBar), 10u);
    EXPECT_EQ(gauges.FileBarCells, 10);
    EXPECT_EQ(window.Cells(Gauge::PackBar), 0u);
}

TEST_F(BarGaugesTest, ACellIsAddedExactlyWhenPercentOverHundredTimesSixtyPassesTheCells) {
    for (std::int16_t cells : {0, 1, 2, 29, 30, 59, 60, 61, 200, 19659, 19660}) {
        for (int percent = -3; percent <= 32767; percent += percent < 400 ? 1 : 97) {
            gauges.FileBarCells = cells;
            gauges.UpdateFileBar(std::int16_t(percent));
            const bool lit = percent != 0 && percent / 100.0 * 60.0 > cells;
            const std::int16_t expected = percent == 0 ? 0 : std::int16_t(cells + (lit ? 1 : 0));
            ASSERT_EQ(gauges.FileBarCells, expected) << cells << " cells, " << percent << "%";
        }
    }
}

} // namespace
} // namespace velnor
