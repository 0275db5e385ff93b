#include "core/filter/compact_text.h"
#include "tests/support/case_names.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>
#include <vector>

namespace velnor {
namespace {

struct Result {
    std::u16string output;
    std::vector<StepReport> reports;
    RunCounters counters;
};

Result Compact(std::u16string_view text, RemovalOptions options, RunCounters counters = {}) {
    Result r;
    r.counters = counters;
    r.output = CompactText(
        text, [options] { return options; }, r.counters,
        [&r](const StepReport& s) { r.reports.push_back(s); });
    return r;
}

constexpr RemovalOptions Spaces{true, false};
constexpr RemovalOptions Breaks{false, true};
constexpr RemovalOptions Both{true, true};
constexpr RemovalOptions Neither{false, false};

// The options, the text, what comes out, the characters kept and the steps.
using WorkedExample = std::tuple<RemovalOptions, std::u16string, std::u16string, int, int>;

class WorkedExamples : public ::testing::TestWithParam<WorkedExample> {};

TEST_P(WorkedExamples, GiveTheirOutputKeptCountAndSteps) {
    const auto& [options, input, output, kept, steps] = GetParam();
    const Result r = Compact(input, options);
    EXPECT_EQ(r.output, output);
    ASSERT_EQ(int(r.reports.size()), steps);
    EXPECT_EQ(r.reports.back().KeptInFile, kept);
    EXPECT_EQ(r.reports.back().Position, int(input.size()));
    EXPECT_EQ(r.counters.KeptInRun, kept);
    EXPECT_EQ(r.counters.ScannedInRun, steps);
}

INSTANTIATE_TEST_SUITE_P(
    Filter, WorkedExamples,
    ::testing::Values(WorkedExample{Spaces, u"<div>a  b\r\n  c</div>", u"<div>ab\rc</div>", 14, 19},
                      WorkedExample{Breaks, u"<div>a  b\r\n  c</div>", u"<div>abc</div>", 13, 19},
                      WorkedExample{Both, u"<% x = 1 %>\r\n<b> hi </b>", u"<%x = 1 %><b>hi</b>", 18,
                                    23},
                      WorkedExample{Both, u"<script>\r\nvar a = 1;\r\n</script>",
                                    u"<script>vara=1;</script>", 23, 30},
                      WorkedExample{Both, u"<script type=t>\r\n  var a = 1;\r\n</script>",
                                    u"<script type=t>\rvar a = 1;\r</script>", 35, 39}),
    test::CaseNames({"SpacesOnly", "BreaksOnly", "AspBlock", "ScriptWithoutAttributes",
                     "ScriptWithAttributes"}));

TEST(CompactText, TheFirstCharacterIsKeptWithoutAStep) {
    for (std::u16string text : {u"", u"\n", u"<"}) {
        const Result r = Compact(text, Both);
        EXPECT_EQ(r.output, text);
        EXPECT_TRUE(r.reports.empty());
        EXPECT_EQ(r.counters.ScannedInRun, 0);
    }
}

using EdgeCase = std::tuple<const char*, RemovalOptions, std::u16string, std::u16string>;

// One row a fault: each would come out otherwise if its rule were missing.
const EdgeCase EdgeCases[] = {
    {"line feed after position 1 never kept", Neither, u"\n\na\r\nb", u"\na\rb"},
    {"spaces inside a tag shrink to their first", Spaces, u"<a   b\r\n\t c>", u"<a b\rc>"},
    // Inside the block a space after "%" goes; once closed, text outside loses its space.
    {"%> closes ASP after a space", Spaces, u"<% a %> b", u"<%a %>b"},
    {"> inside ASP without % leaves it open", Spaces, u"<% a > b %> c", u"<%a > b %>c"},
    // The blank after "<" is kept inside the block; the one after "%" goes.
    {"< space % opens ASP", Spaces, u"< % a  b %>x y", u"< %a b %>xy"},
    {"< CR LF % opens ASP", Spaces, u"<\r\n% a  b %>x y", u"<\r%a b %>xy"},
    {"script opens in any case", Spaces, u"<ScRiPt a>x  y</sCrIpT>z z",
     u"<ScRiPt a>x y</sCrIpT>zz"},
    {"> at position 1 closes nothing", Spaces, u">%>a b", u">%>ab"},
    // "script>" from position 1 ends at 7: the ">" is at p-1 with p = 8, so it closes.
    {"script> from position 1 closes", Spaces, u"script>a b", u"script>ab"},
    {"> before position 8 closes no script", Spaces, u"<script x>a  b", u"<script x>a b"},
    {"< then a final % opens ASP, no tag", Spaces, u"a <%", u"a<%"},
    {"< then a cut-short script opens a tag", Spaces, u"<scrip", u"<scrip"},
    {"blanks at the end outside a tag go", Both, u"x  ", u"x"},
    {"CR LF % needs all three", Neither, u"<\r\n", u"<\r"},
};

TEST(CompactText, EdgeCasesComeOutAsTheRulesSay) {
    for (const auto& [behaviour, options, input, output] : EdgeCases)
        EXPECT_EQ(Compact(input, options).output, output) << behaviour;
}

TEST(CompactText, CountersAccumulateOverPagesAndEveryPageStartsOutsideAllRegions) {
    const Result first = Compact(u"<div>a  b\r\n  c</div>", Spaces);
    const Result second = Compact(u"a b", Spaces, first.counters);
    EXPECT_EQ(second.counters.KeptInRun, 14 + 1);
    EXPECT_EQ(second.counters.ScannedInRun, 19 + 2);
    EXPECT_EQ(second.reports.back().KeptInFile, 1);
    EXPECT_EQ(second.reports.back().Position, 3);
    EXPECT_EQ(second.reports.back().ScannedInRun, 21);
    // A page that ends inside a tag leaves the next one outside it.
    EXPECT_EQ(Compact(u"y  z", Spaces, Compact(u"<a x", Spaces).counters).output, u"yz");
}

TEST(CompactText, PassingTheCounterLimitRaisesOverflowAtThatStep) {
    constexpr auto Max = std::numeric_limits<std::int32_t>::max();
    RunCounters counters{Max - 10, Max - 2};
    std::vector<StepReport> reports;
    EXPECT_THAT(
        [&] {
            CompactText(
                u"abcdef", [] { return Neither; }, counters,
                [&](const StepReport& s) { reports.push_back(s); });
        },
        ::testing::ThrowsMessage<CounterOverflow>(::testing::HasSubstr("Overflow")));
    EXPECT_EQ(reports.size(), 2u);
}

} // namespace
} // namespace velnor
