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

// Where the fast path stands: the next index to scan, the characters kept so
// far, the regions, and the class of the previous character.
struct FastState {
    std::size_t next;
    std::size_t kept;
    Regions regions;
    unsigned prevClass;
};

} // namespace velnor::detail
