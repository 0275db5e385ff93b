#include "tests/cli/cli_test_helpers.h"
#include "tests/support/system_words.h"
#include "tests/support/temp_tree.h"

#include <algorithm>
#include <random>
#include <string>

namespace velnor::cli {
namespace {

using velnor::test::Fault;
using velnor::test::SystemWords;

std::string StatsLine(std::size_t chars, int kept, int steps, std::size_t in, std::size_t out) {
    return "chars=" + std::to_string(chars) + " kept=" + std::to_string(kept) +
           " steps=" + std::to_string(steps) + " bytes_in=" + std::to_string(in) +
           " bytes_out=" + std::to_string(out) + "\n";
}

struct WorkedExample {
    std::string flags, input, output;
    int kept, steps;
};

// The filter's worked examples; --keep-spaces turns the removal of spaces off,
// --keep-breaks that of line breaks.
const WorkedExample kWorkedExamples[] = {
    {"--keep-breaks", "<div>a  b\r\n  c</div>", "<div>ab\rc</div>", 14, 19},
    {"--keep-spaces", "<div>a  b\r\n  c</div>", "<div>abc</div>", 13, 19},
    {"--keep-spaces --keep-breaks", "<div>a  b\r\n  c</div>", "<div>a  b\r  c</div>", 18, 19},
    {"--keep-breaks", "<a  href=x>go to</a>", "<a href=x>goto</a>", 17, 19},
    {"", "<% x = 1 %>\r\n<b> hi </b>", "<%x = 1 %><b>hi</b>", 18, 23},
    {"", "<%=x%>\r\n<b> hi </b>", "<%=x%><b>hi</b>", 14, 18},
    {"", "<script>\r\nvar a = 1;\r\n</script>", "<script>vara=1;</script>", 23, 30},
    {"", "<script type=t>\r\n  var a = 1;\r\n</script>", "<script type=t>\rvar a = 1;\r</script>",
     35, 39},
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
                     Eq("velnor-cli: " + missing + ": " + SystemWords(Fault::NoSuchFile) + "\n"));
    ExpectInvocation({"filter", folder}, "", 1, IsEmpty(),
                     Eq("velnor-cli: " + folder + ": " + SystemWords(Fault::OpenAFolder) + "\n"));
}

// Bytes with no markup and no "%", so whitespace is all the filter may drop:
// every other byte, GBK pair or stray high byte, must come out unchanged.
TEST(FilterCommand, NonTextBytesSurviveByteForByteExceptRemovedWhitespace) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 40; ++round) {
        std::string input;
        while (input.size() < 1u + round * 37u) {
            const char c =
                random() % 4 == 0 ? " \t\r\n"[random() % 4] : static_cast<char>(random());
            if (c != '<' && c != '>' && c != '%') {
                input.push_back(c);
            }
        }
        for (const auto& [args, dropped] : {std::pair<Args, std::string>{{"filter"}, " \t\r\n"},
                                            {{"filter", "--keep-spaces", "--keep-breaks"}, "\n"}}) {
            // The first byte is always kept; no whitespace byte can end a GBK pair.
            std::string expected = input.substr(0, 1);
            std::copy_if(input.begin() + 1, input.end(), std::back_inserter(expected),
                         [&](char c) { return dropped.find(c) == std::string::npos; });
            ExpectInvocation(args, input, 0, Eq(expected), IsEmpty());
        }
    }
}

} // namespace
} // namespace velnor::cli
