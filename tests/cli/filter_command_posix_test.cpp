#include "tests/cli/cli_test_helpers.h"

#include "core/filter/page_compactor.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

namespace velnor::cli {
namespace {

// Past 2^32 characters: zero bytes from a sparse in-memory file, which reads
// them without holding them.
TEST(FilterCommand, FiguresOfAPageBeyond32BitsAreExact) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "four gigabytes take minutes under the sanitizers";
#endif
    constexpr std::uint64_t Zeros = std::uint64_t(1) << 32;
    const int in = ::memfd_create("page", MFD_CLOEXEC);
    ASSERT_EQ(::ftruncate(in, off_t(Zeros)), 0);
    ASSERT_EQ(::pwrite(in, " \n", 2, off_t(Zeros)), 2);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    CapturedStreams io;
    CliStreams streams = io.Streams();
    streams.in = in;
    streams.out = null;
    EXPECT_EQ(Cli({"filter", "--stats"}, streams), 0);
    ::close(null);
    ::close(in);
    // The blank and the line feed at the end go; every zero byte stays.
    EXPECT_EQ(io.Err(), StatsLine(Zeros + 2, Zeros - 1, Zeros + 1, Zeros + 2, Zeros));
}

// Standard input that has given some bytes and then fails: what was read is
// written, the failure reported.
TEST(FilterCommand, ReadErrorPartWayIsReported) {
    int pipe[2];
    ASSERT_EQ(::pipe2(pipe, O_NONBLOCK | O_CLOEXEC), 0);
    const std::string page = "<p> a  b </p>\r\n<p>c</p>";
    ASSERT_EQ(::write(pipe[1], page.data(), page.size()), std::ssize(page));
    CapturedStreams io;
    CliStreams streams = io.Streams();
    streams.in = pipe[0]; // its bytes read, empty with a writer left: EAGAIN
    EXPECT_EQ(Cli({"filter"}, streams), 1);
    ::close(pipe[0]);
    ::close(pipe[1]);
    PageCounts counts;
    EXPECT_THAT(CompactPage(page, {true, true}, counts), StartsWith(io.Out()));
    EXPECT_FALSE(io.Out().empty());
    EXPECT_EQ(io.Err(), "velnor-cli: standard input: Resource temporarily unavailable\n");
}

} // namespace
} // namespace velnor::cli
