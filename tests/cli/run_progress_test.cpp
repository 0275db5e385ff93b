#include "cli/run_command.h"
#include "cli/run_progress.h"
#include "tests/cli/cli_test_helpers.h"
#include "tests/support/temp_tree.h"

#include <chrono>
#include <string>
#include <vector>

namespace velnor::cli {
namespace {

using namespace std::chrono_literals;

// Tallies are {pages total, bytes total, pages done, bytes before, bytes after}.
TEST(RunProgressLine, ShowsPagesBytesRateAndTimeLeft) {
    EXPECT_EQ(RunProgress::FormatLine({4, 4'000'000, 0, 0, 0}, 0s),
              "[--------------------] 0/4 pages  0.0/4.0 MB  -- MB/s  --:-- left");
    EXPECT_EQ(RunProgress::FormatLine({4, 4'000'000, 1, 1'000'000, 900'000}, 2s),
              "[#####---------------] 1/4 pages  1.0/4.0 MB  0.5 MB/s  0:06 left");
    EXPECT_EQ(RunProgress::FormatLine({9, 9'000'000'000, 1, 1'000'000'000, 1}, 100s),
              "[##------------------] 1/9 pages  1000.0/9000.0 MB  10.0 MB/s  13:20 left");
    // Sizes that could not be measured up front: the bar follows the pages.
    EXPECT_EQ(RunProgress::FormatLine({4, 0, 2, 50, 40}, 1s),
              "[##########----------] 2/4 pages  0.0/0.0 MB  0.0 MB/s  0:00 left");
    // A page grown since it was found never pushes the bar past full.
    EXPECT_EQ(RunProgress::FormatLine({1, 100, 1, 150, 100}, 1s),
              "[####################] 1/1 pages  0.0/0.0 MB  0.0 MB/s  0:00 left");
}

TEST(RunSummary, SaysPagesBytesShareKeptAndTime) {
    EXPECT_EQ(FormatSummary({2, 0, 2, 1'234'567, 1'000'000}, false, 1.5s),
              "rewrote 2 pages, 1,234,567 → 1,000,000 bytes (81.0% kept) in 1.50 s");
    EXPECT_EQ(FormatSummary({1, 0, 1, 999, 998}, true, 0.004s),
              "dry run, nothing written: 1 page would be rewritten, 999 → 998 bytes (99.9% kept) "
              "in 0.00 s");
    EXPECT_EQ(FormatSummary({}, false, 0s), "rewrote 0 pages, 0 → 0 bytes (100.0% kept) in 0.00 s");
}

TEST(RunProgress, RedrawsAtMostTenTimesASecondButAlwaysAtTheEnd) {
    velnor::test::TempTree tree;
    std::vector<std::filesystem::path> pages;
    for (const char* name : {"a", "b", "c"}) {
        tree.WriteFile(name, std::string(1000, 'x'));
        pages.push_back(tree.Path(name));
    }
    CapturedStreams io;
    std::chrono::steady_clock::time_point now{};
    RunProgress progress(io.Streams().err, [&] { return now; });

    progress.PagesMatched(pages); // the sizes are measured up front for the bar
    EXPECT_EQ(io.Err(),
              "\r[--------------------] 0/3 pages  0.0/0.0 MB  -- MB/s  --:-- left\x1b[K");
    now += 50ms;
    progress.PageDone(pages[0], 1000, 800);
    EXPECT_THAT(io.Err(), EndsWith("] 0/3 pages  0.0/0.0 MB  -- MB/s  --:-- left\x1b[K"));
    now += 60ms;
    progress.PageDone(pages[1], 1000, 800);
    EXPECT_THAT(
        io.Err(),
        EndsWith("\r[#############-------] 2/3 pages  0.0/0.0 MB  0.0 MB/s  0:01 left\x1b[K"));
    progress.PageDone(pages[2], 1000, 800);
    progress.Clear();
    progress.Clear(); // nothing left to wipe
    EXPECT_THAT(io.Err(), EndsWith("] 3/3 pages  0.0/0.0 MB  0.0 MB/s  0:00 left\x1b[K\r\x1b[K"));
}

} // namespace
} // namespace velnor::cli
