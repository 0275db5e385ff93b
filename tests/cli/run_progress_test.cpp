#include "cli/run_command.h"
#include "cli/run_progress.h"
#include "tests/cli/cli_test_helpers.h"

#include <chrono>
#include <string>

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
    EXPECT_EQ(FormatSummary({}, false, 0s), "rewrote 0 pages, 0 → 0 bytes (100.0% kept) in 0.00 s");
}

} // namespace
} // namespace velnor::cli
