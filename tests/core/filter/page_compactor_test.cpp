#include "core/filter/page_compactor.h"

#include "core/text/ansi_codec.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace velnor {
namespace {

// Markup-heavy random pages in code page 936: delimiters, blanks, line ends,
// GBK pairs, bytes that are no character and lone lead bytes, at the end too.
std::string RandomPage(std::mt19937& rng, int maxPieces) {
    static const std::vector<std::string> pieces = {
        "<",         "<",      ">",      "<%",   "%>",      "%",        " ",         "  ",
        "\t",        "\r\n",   "\n",     "\r",   "<script", "<SCRIPT>", "</script>", "script>",
        "<div a=1>", "</div>", "x",      "word", "< %",     "<\r\n%",   "\xD6\xD0",  "\xB0\xA1",
        "\x81@",     "\x81s",  "cript>", "\x81", "\x80",    "\xFF",     "\x81\x7F",  "\x81 ",
        "Script>",   "s",      "\xFE",   "="};
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::string page;
    for (int k = std::uniform_int_distribution<int>(0, maxPieces)(rng); k > 0; --k)
        page += pieces[pick(rng)];
    return page;
}

// Whole, then fed in blocks of the given size, the page must come out as the
// window's path (decode, step filter, encode) makes it, counts too.
void ExpectStepFilterResult(std::string_view page, RemovalOptions options, std::size_t block) {
    const std::u16string text = DecodeAnsi(page);
    RunCounters step;
    const std::string bytes = EncodeAnsi(CompactText(
        text, [options] { return options; }, step, [](const StepReport&) {}));
    const PageCounts counts{text.size(), std::uint64_t(step.KeptInRun),
                            std::uint64_t(step.ScannedInRun)};
    PageCounts whole;
    ASSERT_EQ(CompactPage(page, options, whole), bytes);
    ASSERT_EQ(whole, counts);

    PageCompactor compactor(options, GetCp936Tables());
    std::string fed;
    for (std::size_t at = 0; at < page.size(); at += block)
        compactor.Feed(page.substr(at, block), fed);
    compactor.Finish(fed);
    ASSERT_EQ(fed, bytes);
    ASSERT_EQ(compactor.Counts(), counts);
}

constexpr RemovalOptions AllOptions[] = {
    {true, true}, {true, false}, {false, true}, {false, false}};

TEST(PageCompactor, SmallPagesGiveTheStepFilterResultAtEveryBlockSize) {
    std::mt19937 rng(20261207);
    for (int round = 0; round < 1000; ++round) {
        const std::string page = RandomPage(rng, 30);
        for (std::size_t block = 1; block <= std::max<std::size_t>(page.size(), 1); ++block) {
            ASSERT_NO_FATAL_FAILURE(
                ExpectStepFilterResult(page, AllOptions[(round + block) % 4], block))
                << "round " << round << ", blocks of " << block;
        }
    }
}

} // namespace
} // namespace velnor
