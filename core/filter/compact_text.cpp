#include "core/filter/compact_text.h"

#include "core/filter/compact_blocks_avx512.h"
#include "core/filter/filter_rules.h"

#include <array>
#include <cstddef>
#include <limits>

namespace velnor {

using namespace detail;

CounterOverflow::CounterOverflow()
    : std::overflow_error("Overflow: a run counter went past 2147483647") {}

namespace {

void Increment(std::int32_t& counter) {
    if (counter == std::numeric_limits<std::int32_t>::max())
        throw CounterOverflow();
    ++counter;
}

} // namespace

std::u16string CompactText(std::u16string_view text, const OptionsSource& options,
                           RunCounters& counters, const StepReportFn& report) {
    if (text.empty())
        return {};
    if (text.size() > std::size_t(std::numeric_limits<std::int32_t>::max()))
        throw std::length_error("the page holds more than 2147483647 characters");

    std::u16string out;
    out.reserve(text.size());
    out.push_back(text[0]);
    Regions regions;
    std::int32_t keptInFile = 0;

    for (std::size_t i = 1; i < text.size(); ++i) {
        const char16_t cur = text[i];
        const char16_t prev = text[i - 1];
        bool protectBreaks = true;
        bool protectSpaces = true;
        bool keepChar = true;

        switch (prev) {
        case LineFeed:
        case CarriageReturn:
        case u'%':
            protectBreaks = protectSpaces = false;
            break;
        case Tab:
        case Space:
            protectSpaces = false;
            break;
        case u'<':
            OpeningTests(text, i, regions);
            break;
        case u'>':
            ClosingTests(text, i, regions);
            break;
        default:
            break;
        }
        if (!regions.Any())
            protectBreaks = protectSpaces = false;

        const RemovalOptions now = options();
        const bool blank = cur == Space || cur == Tab;
        if (now.RemoveSpaces && !protectSpaces && blank)
            keepChar = false;
        if (now.RemoveBreaks && !protectBreaks &&
            (blank || cur == LineFeed || cur == CarriageReturn))
            keepChar = false;

        if (cur != LineFeed && keepChar) {
            out.push_back(cur);
            Increment(keptInFile);
            Increment(counters.KeptInRun);
        }
        Increment(counters.ScannedInRun);
        report(
            StepReport{std::int32_t(i + 1), keptInFile, counters.KeptInRun, counters.ScannedInRun});
    }
    return out;
}

namespace {

// The fast path folds the per-step rules into a table. Whether a character is
// kept depends only on its class, the previous character's class, whether any
// region is open, and the options; the region tests run only after "<" and ">".

struct ClassTable {
    std::array<std::uint8_t, 65536> of{};

    constexpr ClassTable() {
        of[Tab] = Blank;
        of[Space] = Blank;
        of[CarriageReturn] = Return;
        of[LineFeed] = Feed;
        of[u'%'] = Percent;
        of[u'<'] = Open;
        of[u'>'] = Close;
    }
};

constexpr ClassTable Classes;

// Indexed by regionOpen * 64 + previous class * 8 + current class.
using KeepTable = std::array<std::uint8_t, 2 * ClassCount * ClassCount>;

KeepTable MakeKeepTable(RemovalOptions options) {
    KeepTable keep{};
    for (int region = 0; region < 2; ++region)
        for (unsigned prev = 0; prev < ClassCount; ++prev)
            for (unsigned cur = 0; cur < ClassCount; ++cur) {
                const bool afterBreak = prev == Return || prev == Feed || prev == Percent;
                const bool protectBreaks = region && !afterBreak;
                const bool protectSpaces = region && !afterBreak && prev != Blank;
                const bool blank = cur == Blank;
                const bool lineEnd = cur == Return || cur == Feed;
                bool keepChar = true;
                if (options.RemoveSpaces && !protectSpaces && blank)
                    keepChar = false;
                if (options.RemoveBreaks && !protectBreaks && (blank || lineEnd))
                    keepChar = false;
                keep[std::size_t(region * 64 + prev * 8 + cur)] = cur != Feed && keepChar;
            }
    return keep;
}

// Branch-free copy: always write, advance only when kept.
void CompactRest(std::u16string_view text, const KeepTable& keep, FastState& s, char16_t* dst) {
    const char16_t* src = text.data();
    std::size_t kept = s.kept;
    std::size_t prev = s.prevClass;
    std::size_t region = s.regions.Any() ? 64 : 0;
    for (std::size_t i = s.next; i < text.size(); ++i) {
        const char16_t cur = src[i];
        const std::size_t cls = Classes.of[cur];
        if (prev >= Open) [[unlikely]] {
            if (prev == Open)
                OpeningTestsInline(text, i, s.regions);
            else
                ClosingTestsInline(text, i, s.regions);
            region = s.regions.Any() ? 64 : 0;
        }
        dst[kept] = cur;
        kept += keep[region + prev * 8 + cls];
        prev = cls;
    }
    s.kept = kept;
}

} // namespace

std::u16string CompactText(std::u16string_view text, RemovalOptions options,
                           RunCounters& counters) {
    const std::size_t n = text.size();
    if (n == 0)
        return {};
    constexpr auto Max = std::numeric_limits<std::int32_t>::max();
    // Near the counters' limit the step path raises the overflow at the exact step.
    const std::int64_t steps = std::int64_t(n - 1);
    if (n > std::size_t(Max) || counters.ScannedInRun + steps > Max ||
        counters.KeptInRun + steps > Max)
        return CompactText(text, OptionsSource([options] { return options; }), counters,
                           StepReportFn([](const StepReport&) {}));

    std::u16string out(n, u'\0');
    char16_t* dst = out.data();
    dst[0] = text[0];
    FastState state{1, 1, {}, Classes.of[text[0]]};
    if (Avx512Available())
        CompactBlocksAvx512(text, options, state, dst);
    CompactRest(text, MakeKeepTable(options), state, dst);
    const std::size_t kept = state.kept;
    out.resize(kept);
    counters.KeptInRun += std::int32_t(kept - 1);
    counters.ScannedInRun += std::int32_t(n - 1);
    return out;
}

} // namespace velnor
