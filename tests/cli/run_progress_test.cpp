#include "cli/run_command.h"
#include "cli/run_progress.h"
#include "tests/cli/cli_test_helpers.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace velnor::cli {
namespace {

using namespace std::chrono_literals;
using TimePoint = std::chrono::steady_clock::time_point;

RunTally Tally(std::uint64_t pagesTotal, std::uint64_t bytesTotal, std::uint64_t pagesDone,
               std::uint64_t bytesBefore, std::uint64_t bytesAfter) {
    return RunTally{pagesTotal, bytesTotal, pagesDone, bytesBefore, bytesAfter};
}

TEST(RunProgressLine, ShowsPagesBytesRateAndTimeLeft) {
    struct Case {
        RunTally tally;
        std::chrono::duration<double> elapsed;
        std::string line;
    };
    const std::vector<Case> cases = {
        {Tally(4, 4'000'000, 0, 0, 0), 0s,
         "[--------------------] 0/4 pages  0.0/4.0 MB  -- MB/s  --:-- left"},
        {Tally(4, 4'000'000, 1, 1'000'000, 900'000), 2s,
         "[#####---------------] 1/4 pages  1.0/4.0 MB  0.5 MB/s  0:06 left"},
        {Tally(2706, 100'000'000, 1353, 50'000'000, 40'000'000), 25s,
         "[##########----------] 1353/2706 pages  50.0/100.0 MB  2.0 MB/s  0:25 left"},
        {Tally(9, 9'000'000'000, 1, 1'000'000'000, 1), 100s,
         "[##------------------] 1/9 pages  1000.0/9000.0 MB  10.0 MB/s  13:20 left"},
        {Tally(3, 300, 3, 300, 200), 1s,
         "[####################] 3/3 pages  0.0/0.0 MB  0.0 MB/s  0:00 left"},
        // Sizes that could not be measured up front: the bar follows the pages.
        {Tally(4, 0, 2, 50, 40), 1s,
         "[##########----------] 2/4 pages  0.0/0.0 MB  0.0 MB/s  0:00 left"},
        // A page grown since it was found never pushes the bar past full.
        {Tally(1, 100, 1, 150, 100), 1s,
         "[####################] 1/1 pages  0.0/0.0 MB  0.0 MB/s  0:00 left"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunProgress::FormatLine(c.tally, c.elapsed), c.line);
    }
}

TEST(RunSummary, SaysPagesBytesShareKeptAndTime) {
    EXPECT_EQ(FormatSummary(Tally(2, 0, 2, 1'234'567, 1'000'000), false, 1.5s),
              "rewrote 2 pages, 1,234,567 → 1,000,000 bytes (81.0% kept) in 1.50 s");
    EXPECT_EQ(FormatSummary(Tally(1, 0, 1, 999, 998), true, 0.004s),
              "dry run, nothing written: 1 page would be rewritten, 999 → 998 bytes (99.9% kept) "
              "in 0.00 s");
    EXPECT_EQ(FormatSummary(Tally(0, 0, 0, 0, 0), false, 0s),
              "rewrote 0 pages, 0 → 0 bytes (100.0% kept) in 0.00 s");
}

class FakeClock {
public:
    TimePoint Now() const { return now_; }
    void Advance(std::chrono::milliseconds by) { now_ += by; }
    Clock AsClock() {
        return [this] {
            return now_;
        };
    }

private:
    TimePoint now_{};
};

std::size_t Draws(const std::string& err) {
    // Every line drawn starts with a carriage return and ends by wiping the rest.
    std::size_t count = 0;
    for (std::size_t at = err.find("\x1b[K"); at != std::string::npos;
         at = err.find("\x1b[K", at + 1)) {
        ++count;
    }
    return count;
}

TEST(RunProgress, RedrawsAtMostTenTimesASecondButAlwaysAtTheEnd) {
    velnor::test::TempTree tree;
    std::vector<std::filesystem::path> pages;
    for (int i = 0; i < 6; ++i) {
        std::string name = "p";
        name += std::to_string(i) + ".htm";
        tree.WriteFile(name, std::string(1000, 'x'));
        pages.push_back(tree.Path(name));
    }
    CapturedStreams io;
    FakeClock clock;
    RunProgress progress(io.Streams().err, clock.AsClock());

    progress.PagesMatched(pages);
    EXPECT_EQ(Draws(io.Err()), 1u);
    EXPECT_NE(io.Err().find("0/6 pages  0.0/0.0 MB"), std::string::npos);
    EXPECT_EQ(progress.Tally().bytesTotal, 6000u);

    // Three pages within the same tenth of a second: no redraw.
    for (int i = 0; i < 3; ++i) {
        clock.Advance(30ms);
        progress.PageDone(pages[i], 1000, 800);
    }
    EXPECT_EQ(Draws(io.Err()), 1u);

    clock.Advance(20ms);
    progress.PageDone(pages[3], 1000, 800);
    EXPECT_EQ(Draws(io.Err()), 2u);

    progress.PageDone(pages[4], 1000, 800);
    EXPECT_EQ(Draws(io.Err()), 2u);
    progress.PageDone(pages[5], 1000, 800);
    EXPECT_EQ(Draws(io.Err()), 3u);
    EXPECT_NE(io.Err().find("6/6 pages"), std::string::npos);

    progress.Clear();
    EXPECT_EQ(io.Err().substr(io.Err().size() - 4), "\r\x1b[K");
    progress.Clear(); // nothing left to wipe
    EXPECT_EQ(Draws(io.Err()), 4u);
}

TEST(RunProgress, WithoutATerminalOnlyTallies) {
    FakeClock clock;
    RunProgress progress(-1, clock.AsClock());
    progress.PagesMatched({"/nonexistent/a.htm", "/nonexistent/b.htm"});
    progress.PageDone("/nonexistent/a.htm", 10, 7);
    progress.PageDone("/nonexistent/b.htm", 5, 5);
    progress.Clear();

    const RunTally& tally = progress.Tally();
    EXPECT_EQ(tally.pagesTotal, 2u);
    EXPECT_EQ(tally.pagesDone, 2u);
    EXPECT_EQ(tally.bytesBefore, 15u);
    EXPECT_EQ(tally.bytesAfter, 12u);
}

} // namespace
} // namespace velnor::cli
