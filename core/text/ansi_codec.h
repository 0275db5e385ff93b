#pragma once

#include <string>
#include <string_view>

namespace velnor {

// The machine's ANSI code page: code page 936 (GBK). Decoding is lossless:
// a byte that is no character of the code page on its own or as part of a
// pair, or a pair that would not encode back to itself, decodes to the lone
// surrogate U+DC00 + byte, which valid text never holds, and encodes back to
// that byte. So EncodeAnsi(DecodeAnsi(b)) == b for every byte string b.
std::u16string DecodeAnsi(std::string_view bytes);

// Throws std::invalid_argument, naming the character, for one that has no
// encoding: one DecodeAnsi can never produce. That includes the surrogates
// U+DC00..U+DC7F: a byte below 0x80 always decodes as ASCII, so it never
// needs an escape, and taking them would give two texts the same bytes.
std::string EncodeAnsi(std::u16string_view text);

} // namespace velnor
