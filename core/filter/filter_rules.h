#pragma once

#include <cstddef>
#include <string_view>

namespace velnor::detail {

inline constexpr char16_t LineFeed = 10;
inline constexpr char16_t CarriageReturn = 13;
inline constexpr char16_t Tab = 9;
inline constexpr char16_t Space = 32;

// What a character is to the rules, as the current or the previous character.
enum Class : unsigned { Other, Blank, Return, Feed, Percent, Open, Close, ClassCount = 8 };

struct Regions {
    bool InTag = false;
    bool InAsp = false;
    bool InScript = false;

    bool Any() const { return InTag || InAsp || InScript; }
};

// The tests made when the character before 0-based index i is "<" ...
void OpeningTests(std::u16string_view text, std::size_t i, Regions& regions);
// ... and when it is ">".
void ClosingTests(std::u16string_view text, std::size_t i, Regions& regions);

// The same tests for the fast paths: most tags start with a letter other than
// "s" and end after one other than "%" and "t", and then only the tag region moves.
inline void OpeningTestsInline(std::u16string_view text, std::size_t i, Regions& regions) {
    const char16_t cur = text[i];
    if (cur == u'%' || cur == Space || cur == CarriageReturn || (cur | 0x20) == u's')
        OpeningTests(text, i, regions);
    else if (!regions.InAsp)
        regions.InTag = true;
}

inline void ClosingTestsInline(std::u16string_view text, std::size_t i, Regions& regions) {
    const char16_t beforeClose = i >= 2 ? text[i - 2] : u'\0';
    if (beforeClose == u'%' || (beforeClose | 0x20) == u't')
        ClosingTests(text, i, regions);
    else if (!regions.InAsp)
        regions.InTag = false;
}

// Where the fast path stands: the next index to scan, the characters kept so
// far, the regions, and the class of the previous character.
struct FastState {
    std::size_t next;
    std::size_t kept;
    Regions regions;
    unsigned prevClass;
};

} // namespace velnor::detail
