#include "core/filter/page_compactor.h"

#include "core/text/ansi_codec.h"
#include "tests/core/filter/random_page.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

namespace velnor {
namespace {

struct Filtered {
    std::string bytes;
    PageCounts counts;
};

// What the window's path gives: decode, the step-by-step filter, encode.
Filtered ByStep(std::string_view page, RemovalOptions options) {
    const std::u16string text = DecodeAnsi(page);
    RunCounters counters;
    const std::u16string out = CompactText(
        text, [options] { return options; }, counters, [](const StepReport&) {});
    return {EncodeAnsi(out),
            {text.size(), std::uint64_t(counters.KeptInRun), std::uint64_t(counters.ScannedInRun)}};
}

// The page fed to one compactor in blocks of the sizes `next` gives.
Filtered InBlocks(std::string_view page, RemovalOptions options,
                  const std::function<std::size_t()>& next) {
    PageCompactor compactor(options, GetCp936Tables());
    Filtered f;
    for (std::size_t at = 0; at < page.size();) {
        const std::size_t size = std::min(next(), page.size() - at);
        compactor.Feed(page.substr(at, size), f.bytes);
        at += size;
    }
    compactor.Finish(f.bytes);
    f.counts = compactor.Counts();
    return f;
}

constexpr RemovalOptions AllOptions[] = {
    {true, true}, {true, false}, {false, true}, {false, false}};

TEST(PageCompactor, WholePageGivesTheBytesAndCountsOfTheStepFilter) {
    std::mt19937 rng(20261207);
    for (int round = 0; round < 4000; ++round) {
        const std::string page = test::RandomPage(rng, round % 50 ? 40 : 4000);
        for (const RemovalOptions options : AllOptions) {
            const Filtered step = ByStep(page, options);
            PageCounts counts;
            ASSERT_EQ(CompactPage(page, options, counts), step.bytes) << "round " << round;
            ASSERT_EQ(counts, step.counts) << "round " << round;
        }
    }
}

TEST(PageCompactor, EveryBlockSizeGivesTheSameAsTheWholePage) {
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        const std::string page = test::RandomPage(rng, 30);
        const RemovalOptions options = AllOptions[round % 4];
        const Filtered step = ByStep(page, options);
        for (std::size_t block = 1; block <= page.size(); ++block) {
            const Filtered fed = InBlocks(page, options, [block] { return block; });
            ASSERT_EQ(fed.bytes, step.bytes) << "round " << round << ", blocks of " << block;
            ASSERT_EQ(fed.counts, step.counts) << "round " << round << ", blocks of " << block;
        }
    }
}

TEST(PageCompactor, RandomBlockSizesOnLongPagesGiveTheSameAsTheStepFilter) {
    std::mt19937 rng(11);
    for (int round = 0; round < 40; ++round) {
        const std::string page = test::RandomPage(rng, 8000);
        const RemovalOptions options = AllOptions[round % 4];
        std::uniform_int_distribution<std::size_t> size(1, round % 2 ? 16 : 4096);
        const Filtered fed = InBlocks(page, options, [&] { return size(rng); });
        const Filtered step = ByStep(page, options);
        ASSERT_EQ(fed.bytes, step.bytes) << "round " << round;
        ASSERT_EQ(fed.counts, step.counts) << "round " << round;
    }
}

} // namespace
} // namespace velnor
