#pragma once

#include <array>
#include <cstdint>

namespace velnor {

// Lookup tables of code page 936, asked of the system's converter once and
// kept only where a character converts back to exactly the bytes it came from.
struct Cp936Tables {
    // Character of the pair lead/trail at (lead - 0x80) * 256 + trail; 0 where
    // the pair is no such character.
    std::array<char16_t, 128 * 256> Pair{};
    // Character of the single byte 0x80 + i; 0 where the byte is none.
    std::array<char16_t, 128> Single{};
    // Bytes of each character from U+0080 on: 0 for none, below 0x100 one
    // byte, otherwise lead << 8 | trail. The escapes U+DC80..U+DCFF map to
    // their byte here too, so encoding is one lookup.
    std::array<std::uint16_t, 0x10000> Bytes{};
};

// Built at first use, thread-safe; throws std::runtime_error when the system
// has no converter for code page 936.
const Cp936Tables& GetCp936Tables();

} // namespace velnor
