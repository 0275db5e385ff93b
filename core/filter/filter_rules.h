#pragma once

#include "core/text/ascii.h"

#include <cstddef>
#include <string_view>

namespace velnor::detail {

inline constexpr char16_t LineFeed = 10;
inline constexpr char16_t CarriageReturn = 13;
inline constexpr char16_t Tab = 9;
inline constexpr char16_t Space = 32;

struct Regions {
    bool InTag = false;
    bool InAsp = false;
    bool InScript = false;

    bool Any() const { return InTag || InAsp || InScript; }
};

// Whether the characters from 0-based index `from` on read `pattern` (lower
// case), ASCII letter case ignored; a window reaching past the end of the
// text never matches.
template <typename Char>
bool WindowIs(std::basic_string_view<Char> text, std::size_t from, std::string_view pattern) {
    if (from + pattern.size() > text.size())
        return false;
    for (std::size_t k = 0; k < pattern.size(); ++k)
        if (AsciiLower(text[from + k]) != Char(pattern[k]))
            return false;
    return true;
}

// The tests made when the character before 0-based index i is "<" ...
template <typename Char>
void OpeningTests(std::basic_string_view<Char> text, std::size_t i, Regions& r) {
    const Char cur = text[i];
    const std::size_t n = text.size();
    if (cur == Char('%') || (i + 1 < n && cur == Char(Space) && text[i + 1] == Char('%')) ||
        (i + 2 < n && cur == Char(CarriageReturn) && text[i + 1] == Char(LineFeed) &&
         text[i + 2] == Char('%')))
        r.InAsp = true;
    if (WindowIs(text, i, "script"))
        r.InScript = true;
    if (!r.InAsp)
        r.InTag = true;
}

// ... and when it is ">".
template <typename Char>
void ClosingTests(std::basic_string_view<Char> text, std::size_t i, Regions& r) {
    if (i >= 2 && text[i - 2] == Char('%'))
        r.InAsp = false;
    // The window "script>" ends at the ">" and must start at the first character or later.
    if (i >= 7 && WindowIs(text, i - 7, "script>"))
        r.InScript = false;
    if (!r.InAsp)
        r.InTag = false;
}

} // namespace velnor::detail
