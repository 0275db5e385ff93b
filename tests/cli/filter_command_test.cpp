#include "tests/cli/cli_test_helpers.h"

#include "core/filter/page_compactor.h"
#include "tests/core/filter/random_page.h"
#include "tests/support/temp_tree.h"

#include <cstdint>
#include <fcntl.h>
#include <random>
#include <string>

namespace velnor::cli {
namespace {

std::string StatsLine(std::uint64_t chars, std::uint64_t kept, std::uint64_t steps,
                      std::uint64_t in, std::uint64_t out) {
    return "chars=" + std::to_string(chars) + " kept=" + std::to_string(kept) +
           " steps=" + std::to_string(steps) + " bytes_in=" + std::to_string(in) +
           " bytes_out=" + std::to_string(out) + "\n";
}

struct WorkedExample {
    std::string flags, input, output;
    int kept, steps;
};

// Worked examples, one for each set of flags; --keep-spaces turns the removal of spaces off,
// --keep-breaks that of line breaks.
const WorkedExample kWorkedExamples[] = {
    {"--keep-breaks", "<div>a  b\r\n  c</div>", "<div>ab\rc</div>", 14, 19},
    {"--keep-spaces", "<div>a  b\r\n  c</div>", "<div>abc</div>", 13, 19},
    {"--keep-spaces --keep-breaks", "<div>a  b\r\n  c</div>", "<div>a  b\r  c</div>", 18, 19},
    {"", "<% x = 1 %>\r\n<b> hi </b>", "<%x = 1 %><b>hi</b>", 18, 23},
};

TEST(FilterCommand, WorkedExamplesComeOutCompactedWithTheirStatsLine) {
    for (const WorkedExample& e : kWorkedExamples) {
        ExpectInvocation(
            Words("filter --stats " + e.flags), e.input, 0, Eq(e.output),
            Eq(StatsLine(e.input.size(), e.kept, e.steps, e.input.size(), e.output.size())));
    }
}

TEST(FilterCommand, ReadsTheFileOrStandardInputAndOnFailureWritesNoOutput) {
    velnor::test::TempTree tree;
    // "<p>中文 字</p>" in GBK: chars counts characters, bytes_in and bytes_out bytes.
    tree.WriteFile("gbk.htm", "<p>\xD6\xD0\xCE\xC4 \xD7\xD6</p>");
    const std::string missing = tree.Path("missing.htm").string();
    const std::string folder = tree.Root().string();
    ExpectInvocation({"filter"}, "<b> x </b>", 0, Eq("<b>x</b>"), IsEmpty());
    ExpectInvocation({"filter", "--stats", "-"}, "", 0, IsEmpty(), Eq(StatsLine(0, 0, 0, 0, 0)));
    ExpectInvocation({"filter", "--stats", tree.Path("gbk.htm").string(), "--keep-breaks"},
                     "<u>standard input is not read</u>", 0, Eq("<p>\xD6\xD0\xCE\xC4\xD7\xD6</p>"),
                     Eq(StatsLine(11, 9, 10, 14, 13)));
    ExpectInvocation({"filter", "--stats", missing}, "", 1, IsEmpty(),
                     Eq("velnor-cli: " + missing + ": No such file or directory\n"));
    ExpectInvocation({"filter", folder}, "", 1, IsEmpty(),
                     Eq("velnor-cli: " + folder + ": Is a directory\n"));
}

// Pages longer than the command's blocks, so characters, pairs and tags are
// cut at their ends: the output and the figures are those of the whole page.
TEST(FilterCommand, PageReadInBlocksComesOutAsAWhole) {
    std::mt19937 rng(20261207);
    std::string page;
    while (page.size() < 700'000)
        page += velnor::test::RandomPage(rng, 500);
    PageCounts counts;
    const std::string expected = CompactPage(page, {true, false}, counts);
    CapturedStreams io(page);
    EXPECT_EQ(Cli({"filter", "--stats", "--keep-breaks"}, io.Streams()), 0);
    EXPECT_TRUE(io.Out() == expected);
    EXPECT_EQ(io.Err(), StatsLine(counts.Characters, counts.Kept, counts.Steps, page.size(),
                                  expected.size()));
}

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
