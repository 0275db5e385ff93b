#include "cli/fd_io.h"
#include "tests/cli/cli_test_helpers.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace velnor::cli {
namespace {

struct WorkedExample {
    std::vector<std::string> flags;
    std::string input;
    std::string output;
    int kept;
    int steps;
};

// The filter's worked examples, run through the whole command.
const std::vector<WorkedExample> kWorkedExamples = {
    {{"--keep-breaks"}, "<div>a  b\r\n  c</div>", "<div>ab\rc</div>", 14, 19},
    {{"--keep-spaces"}, "<div>a  b\r\n  c</div>", "<div>abc</div>", 13, 19},
    {{"--keep-spaces", "--keep-breaks"}, "<div>a  b\r\n  c</div>", "<div>a  b\r  c</div>", 18, 19},
    {{}, "<div>a  b\r\n  c</div>", "<div>abc</div>", 13, 19},
    {{"--keep-breaks"}, "<a  href=x>go to</a>", "<a href=x>goto</a>", 17, 19},
    {{}, "<% x = 1 %>\r\n<b> hi </b>", "<%x = 1 %><b>hi</b>", 18, 23},
    {{}, "<%=x%>\r\n<b> hi </b>", "<%=x%><b>hi</b>", 14, 18},
    {{}, "<script>\r\nvar a = 1;\r\n</script>", "<script>vara=1;</script>", 23, 30},
    {{},
     "<script type=t>\r\n  var a = 1;\r\n</script>",
     "<script type=t>\rvar a = 1;\r</script>",
     35,
     39},
};

TEST(FilterCommand, WorkedExamplesComeOutCompactedWithTheirFigures) {
    for (const auto& example : kWorkedExamples) {
        CapturedStreams io(example.input);
        std::vector<std::string> args = {"filter", "--stats"};
        args.insert(args.end(), example.flags.begin(), example.flags.end());

        EXPECT_EQ(Cli(args, io.Streams()), 0) << example.input;
        EXPECT_EQ(io.Out(), example.output);
        EXPECT_EQ(io.Err(), "chars=" + std::to_string(example.input.size()) +
                                " kept=" + std::to_string(example.kept) +
                                " steps=" + std::to_string(example.steps) +
                                " bytes_in=" + std::to_string(example.input.size()) +
                                " bytes_out=" + std::to_string(example.output.size()) + "\n");
    }
}

TEST(FilterCommand, StatsLineCountsCharactersNotBytes) {
    velnor::test::TempTree tree;
    // "<p>中文 字</p>" in GBK: three two-byte characters.
    const std::string page = "<p>\xD6\xD0\xCE\xC4 \xD7\xD6</p>";
    tree.WriteFile("page.htm", page);
    CapturedStreams io;

    EXPECT_EQ(Cli({"filter", "--stats", tree.Path("page.htm").string()}, io.Streams()), 0);
    EXPECT_EQ(io.Out(), "<p>\xD6\xD0\xCE\xC4\xD7\xD6</p>");
    EXPECT_EQ(io.Err(), "chars=11 kept=9 steps=10 bytes_in=14 bytes_out=13\n");
}

TEST(FilterCommand, WithoutStatsStandardErrorStaysEmpty) {
    CapturedStreams io("<b> x </b>");
    EXPECT_EQ(Cli({"filter"}, io.Streams()), 0);
    EXPECT_EQ(io.Out(), "<b>x</b>");
    EXPECT_EQ(io.Err(), "");
}

TEST(FilterCommand, EmptyInputGivesEmptyOutput) {
    CapturedStreams io;
    EXPECT_EQ(Cli({"filter", "--stats", "-"}, io.Streams()), 0);
    EXPECT_EQ(io.Out(), "");
    EXPECT_EQ(io.Err(), "chars=0 kept=0 steps=0 bytes_in=0 bytes_out=0\n");
}

TEST(FilterCommand, FileArgumentIsReadInsteadOfStandardInput) {
    velnor::test::TempTree tree;
    tree.WriteFile("a.html", "<i>\r\n  x</i>");
    CapturedStreams io("standard input must not be read");
    EXPECT_EQ(Cli({"filter", tree.Path("a.html").string()}, io.Streams()), 0);
    EXPECT_EQ(io.Out(), "<i>x</i>");
}

TEST(FilterCommand, MissingFileFailsWithOneLineAndNoOutput) {
    velnor::test::TempTree tree;
    const std::string missing = tree.Path("missing.htm").string();
    CapturedStreams io;

    EXPECT_EQ(Cli({"filter", "--stats", missing}, io.Streams()), 1);
    EXPECT_EQ(io.Out(), "");
    EXPECT_EQ(io.Err(), "velnor-cli: " + missing + ": No such file or directory\n");
}

TEST(FilterCommand, FolderGivenAsFileFailsWithNoOutput) {
    velnor::test::TempTree tree;
    CapturedStreams io;
    EXPECT_EQ(Cli({"filter", tree.Root().string()}, io.Streams()), 1);
    EXPECT_EQ(io.Out(), "");
    EXPECT_EQ(io.Err(), "velnor-cli: " + tree.Root().string() + ": Is a directory\n");
}

TEST(FilterCommand, UnknownFlagIsAUsageErrorWithNoOutput) {
    CapturedStreams io("<b> x </b>");
    EXPECT_EQ(Cli({"filter", "--keep-tabs"}, io.Streams()), 2);
    EXPECT_EQ(io.Out(), "");
    EXPECT_EQ(io.Err(),
              "velnor-cli: filter: unknown option '--keep-tabs' (see 'velnor-cli --help')\n");
}

TEST(FilterCommand, HelpDescribesEverySubcommandOnStandardOutput) {
    CapturedStreams io;
    EXPECT_EQ(Cli({"--help"}, io.Streams()), 0);
    for (const char* word : {"filter", "run", "restore", "--keep-spaces", "--keep-breaks",
                             "--stats", "--ext", "--no-backup", "--yes", "--dry-run"}) {
        EXPECT_NE(io.Out().find(word), std::string::npos) << word;
    }
    EXPECT_EQ(io.Err(), "");
}

// Bytes with no markup and no "%": whitespace is the only thing the filter
// may drop, so every other byte, GBK pair or stray high byte, must survive.
std::string RandomPlainBytes(std::mt19937& random, std::size_t length) {
    static const std::string whitespace = " \t\r\n";
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> pick(0, 3);
    std::string bytes;
    while (bytes.size() < length) {
        if (pick(random) == 0) {
            bytes.push_back(whitespace[static_cast<std::size_t>(pick(random))]);
            continue;
        }
        auto c = static_cast<char>(byte(random));
        if (c != '<' && c != '>' && c != '%') {
            bytes.push_back(c);
        }
    }
    return bytes;
}

std::string WithoutBytes(const std::string& bytes, const std::string& dropped) {
    // The first character is always kept; no whitespace byte can be the
    // second half of a GBK pair, so it is the first byte alone.
    std::string kept = bytes.substr(0, 1);
    std::copy_if(bytes.begin() + 1, bytes.end(), std::back_inserter(kept),
                 [&](char c) { return dropped.find(c) == std::string::npos; });
    return kept;
}

TEST(FilterCommand, NonTextBytesSurviveByteForByteExceptRemovedWhitespace) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 40; ++round) {
        const std::string input = RandomPlainBytes(random, 1 + round * 37);
        {
            CapturedStreams io(input);
            ASSERT_EQ(Cli({"filter"}, io.Streams()), 0);
            EXPECT_EQ(io.Out(), WithoutBytes(input, std::string(" \t\r\n", 4))) << round;
        }
        {
            CapturedStreams io(input);
            ASSERT_EQ(Cli({"filter", "--keep-spaces", "--keep-breaks"}, io.Streams()), 0);
            EXPECT_EQ(io.Out(), WithoutBytes(input, "\n")) << round;
        }
    }
}

TEST(FdIo, PipeLargerThanOneChunkIsReadWhole) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    std::string sent(300 * 1000, 'x');
    for (std::size_t i = 0; i < sent.size(); i += 7) {
        sent[i] = static_cast<char>('a' + i % 26);
    }
    std::thread writer([&] {
        WriteAll(ends[1], sent, "pipe");
        ::close(ends[1]);
    });
    ByteBuffer got = ReadAll(ends[0], "pipe");
    writer.join();
    ::close(ends[0]);
    EXPECT_EQ(got.View(), sent);
}

} // namespace
} // namespace velnor::cli
