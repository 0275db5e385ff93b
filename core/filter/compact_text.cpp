#include "core/filter/compact_text.h"

#include "core/filter/filter_rules.h"

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

} // namespace velnor
