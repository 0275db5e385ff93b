// Feeds arbitrary bytes through the codec and the filters and stops at the
// first broken invariant. Input: one byte of start options, counters and
// block sizes, one byte giving the number of option changes, one byte per
// change, then the page.
#include "core/filter/compact_text.h"
#include "core/filter/page_compactor.h"
#include "core/text/ansi_codec.h"
#include "core/text/cp936_tables.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace velnor;

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

template <typename Char>
bool IsSubsequence(std::basic_string_view<Char> part, std::basic_string_view<Char> whole) {
    std::size_t at = 0;
    for (Char ch : part) {
        while (at < whole.size() && whole[at] != ch) {
            ++at;
        }
        if (at == whole.size()) {
            return false;
        }
        ++at;
    }
    return true;
}

RemovalOptions OptionsOf(unsigned bits) {
    return {(bits & 1) != 0, (bits & 2) != 0};
}

RunCounters StartCounters(unsigned choice) {
    constexpr std::int32_t Max = std::numeric_limits<std::int32_t>::max();
    switch (choice) {
    case 0:
        return {};
    case 1:
        return {7, 1000};
    case 2: // close enough to the limit that a page can overflow it
        return {Max - 3000, Max - 2000};
    default:
        return {Max - 100, Max - 100};
    }
}

// One option change: after `Gap` more steps the options become `Options`.
struct Change {
    std::size_t Gap;
    RemovalOptions Options;
};

struct Outcome {
    std::u16string Output;
    RunCounters Counters;
    bool Overflowed = false;
};

// The step-by-step filter, with options that change on schedule, checking
// every report as it comes.
Outcome StepByStep(std::u16string_view text, RemovalOptions start,
                   const std::vector<Change>& changes, RunCounters counters) {
    const RunCounters before = counters;
    std::size_t asked = 0;
    std::size_t nextChange = 0;
    std::size_t changeAt = changes.empty() ? 0 : changes[0].Gap;
    RemovalOptions current = start;
    const OptionsSource options = [&] {
        ++asked;
        if (nextChange < changes.size() && asked >= changeAt) {
            current = changes[nextChange].Options;
            ++nextChange;
            if (nextChange < changes.size()) {
                changeAt += changes[nextChange].Gap;
            }
        }
        return current;
    };
    std::int32_t steps = 0;
    std::int32_t lastKeptInFile = 0;
    const StepReportFn report = [&](const StepReport& step) {
        ++steps;
        Require(step.Position == steps + 1, "positions run 2, 3, ... one per step");
        Require(step.KeptInFile >= lastKeptInFile && step.KeptInFile <= lastKeptInFile + 1,
                "a step keeps at most one character");
        Require(step.KeptInFile <= steps, "KeptInFile <= steps");
        Require(step.KeptInRun <= step.ScannedInRun, "KeptInRun <= ScannedInRun");
        Require(step.ScannedInRun == before.ScannedInRun + steps, "ScannedInRun counts steps");
        Require(step.KeptInRun == before.KeptInRun + step.KeptInFile, "KeptInRun counts kept");
        Require(std::size_t(asked) == std::size_t(steps), "options asked once a step");
        lastKeptInFile = step.KeptInFile;
    };

    Outcome outcome;
    try {
        outcome.Output = CompactText(text, options, counters, report);
    } catch (const CounterOverflow&) {
        outcome.Overflowed = true;
    }
    outcome.Counters = counters;
    if (!outcome.Overflowed) {
        Require(text.empty() == outcome.Output.empty(), "only an empty page gives nothing");
        const std::size_t expectedSteps = text.empty() ? 0 : text.size() - 1;
        Require(std::size_t(steps) == expectedSteps, "one step per character after the first");
        Require(text.empty() || outcome.Output.size() == std::size_t(lastKeptInFile) + 1,
                "output is the first character and the kept ones");
        Require(text.empty() || outcome.Output[0] == text[0], "first character always kept");
        Require(outcome.Output.find(u'\n', 1) == std::u16string::npos,
                "no line feed after the first position");
    }
    Require(IsSubsequence<char16_t>(outcome.Output, text), "output is a subsequence of input");
    return outcome;
}

// The byte filter fed in blocks of 1 to maxBlock bytes, sizes drawn from a
// generator seeded by the page.
std::string Streamed(std::string_view page, RemovalOptions options, std::size_t maxBlock,
                     PageCounts& counts) {
    PageCompactor compactor(options, GetCp936Tables());
    std::string out;
    std::uint32_t state = 2166136261u ^ std::uint32_t(page.size());
    for (std::size_t at = 0; at < page.size();) {
        state = state * 1664525u + 1013904223u;
        const std::size_t size =
            std::min<std::size_t>(1 + (state >> 8) % maxBlock, page.size() - at);
        compactor.Feed(page.substr(at, size), out);
        at += size;
    }
    compactor.Finish(out);
    counts = compactor.Counts();
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    velnor::UseCodePageConverter(&velnor::MakeCp936Converter);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const RemovalOptions start = OptionsOf(data[0]);
    const RunCounters counters = StartCounters((data[0] >> 2) & 3);
    std::size_t at = 2;
    std::vector<Change> changes;
    for (unsigned i = 0; i < data[1] % 8u && at < size; ++i, ++at) {
        changes.push_back({std::size_t(data[at] >> 2) + 1, OptionsOf(data[at])});
    }
    const std::string_view page(reinterpret_cast<const char*>(data + at), size - at);

    const std::u16string text = DecodeAnsi(page);
    Require(EncodeAnsi(text) == page, "bytes survive decode and encode");

    const Outcome stepped = StepByStep(text, start, changes, counters);
    if (!stepped.Overflowed) {
        const std::string written = EncodeAnsi(stepped.Output);
        Require(IsSubsequence<char>(written, page), "written bytes are a subsequence of the page");
    }

    // The byte filter equals the whole-text step filter with the same options,
    // from a run's start, cut into blocks as this input picks.
    const Outcome constant = StepByStep(text, start, {}, RunCounters{});
    if (!constant.Overflowed) {
        PageCounts counts;
        const std::string streamed =
            Streamed(page, start, std::size_t(1) << (data[0] >> 4), counts);
        Require(streamed == EncodeAnsi(constant.Output), "byte filter agrees with step filter");
        Require(counts.Characters == text.size() &&
                    counts.Kept == std::uint64_t(constant.Counters.KeptInRun) &&
                    counts.Steps == std::uint64_t(constant.Counters.ScannedInRun),
                "byte filter counts as the step filter");
        PageCounts whole;
        Require(CompactPage(page, start, whole) == streamed && whole == counts,
                "one block gives what many do");
    }
    return 0;
}
