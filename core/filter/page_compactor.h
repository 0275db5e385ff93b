#pragma once

#include "core/filter/compact_text.h"
#include "core/filter/filter_rules.h"
#include "core/text/cp936_tables.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velnor {

// What the filter counted over one page, in 64 bits: the characters of the
// page, the ones its steps kept (the first character is kept without a step)
// and the steps, one per character from the second on.
struct PageCounts {
    std::uint64_t Characters = 0;
    std::uint64_t Kept = 0;
    std::uint64_t Steps = 0;

    friend bool operator==(const PageCounts&, const PageCounts&) = default;
};

// The filter with fixed options over the bytes of one page in code page 936,
// fed in blocks of any size: the same bytes and counts as decoding the whole
// page, CompactText and encoding the result, without the text in between.
//
// Every character the rules look at (blanks, line ends, "<", ">", "%" and the
// letters of "script") is ASCII, and a character above ASCII is never dropped,
// so the bytes are filtered as they stand; only where characters start must be
// known, which the code page's pair table tells.
class PageCompactor {
public:
    PageCompactor(RemovalOptions options, const Cp936Tables& tables);

    // Appends to `out` what the bytes so far give; a few bytes may wait for
    // the next block, whose first bytes they need.
    void Feed(std::string_view bytes, std::string& out);
    // Ends the page, appending what the waiting bytes give.
    void Finish(std::string& out);

    PageCounts Counts() const;

private:
    // Look-back the rules need: "script>" before the ">" being closed.
    static constexpr std::size_t History = 7;
    // Look-ahead: "script" after "<", the longest; one more byte for a pair.
    static constexpr std::size_t Ahead = 6;

    std::size_t Scan(std::string_view bytes, std::size_t from, bool last, std::string& out);
    void Keep(std::string_view bytes, std::size_t end);

    const Cp936Tables& tables_;
    std::array<std::uint8_t, 128> keep_{};
    unsigned prev_ = 0;
    detail::Regions regions_;
    // The trailing characters so far that are single ASCII bytes, up to History.
    std::size_t asciiTail_ = 0;
    // The last bytes scanned (up to History), then the bytes still waiting.
    std::array<char, History + Ahead> held_{};
    std::size_t heldScanned_ = 0;
    std::size_t heldWaiting_ = 0;
    std::uint64_t bytesIn_ = 0;
    std::uint64_t bytesOut_ = 0;
    std::uint64_t pairs_ = 0;
};

// One whole page; `counts` receives its figures.
std::string CompactPage(std::string_view bytes, RemovalOptions options, PageCounts& counts);

} // namespace velnor
