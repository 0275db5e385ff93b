#pragma once

namespace velnor {

// The letter in lower case when it is an ASCII capital; any other character
// as it is (byte or 16-bit unit alike).
template <typename Char> constexpr Char AsciiLower(Char c) {
    return c >= Char('A') && c <= Char('Z') ? Char(c - Char('A') + Char('a')) : c;
}

} // namespace velnor
