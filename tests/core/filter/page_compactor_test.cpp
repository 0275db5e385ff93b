#include "core/filter/page_compactor.h"

#include "core/text/ansi_codec.h"
#include "tests/core/filter/random_page.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

namespace velnor {
namespace {

// Whole, then fed in blocks of the sizes `next` gives, the page must come out
// as the window's path (decode, step filter, encode) makes it, counts too.
void ExpectStepFilterResult(std::string_view page, RemovalOptions options,
                            const std::function<std::size_t()>& next) {
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
    for (std::size_t at = 0, size = 0; at < page.size(); at += size) {
        size = next();
        compactor.Feed(page.substr(at, size), fed);
    }
    compactor.Finish(fed);
    ASSERT_EQ(fed, bytes);
    ASSERT_EQ(compactor.Counts(), counts);
}

constexpr RemovalOptions AllOptions[] = {
    {true, true}, {true, false}, {false, true}, {false, false}};

TEST(PageCompactor, SmallPagesGiveTheStepFilterResultAtEveryBlockSize) {
    std::mt19937 rng(20261207);
    for (int round = 0; round < 1000; ++round) {
        const std::string page = test::RandomPage(rng, 30);
        for (std::size_t block = 1; block <= std::max<std::size_t>(page.size(), 1); ++block) {
            ASSERT_NO_FATAL_FAILURE(ExpectStepFilterResult(page, AllOptions[(round + block) % 4],
                                                           [block] { return block; }))
                << "round " << round << ", blocks of " << block;
        }
    }
}

} // namespace
} // namespace velnor
