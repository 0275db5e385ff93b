#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velnor {

inline bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
inline bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// The UTF-16 form of strict UTF-8 text; nothing for bytes that are not.
std::optional<std::u16string> Utf8ToUtf16(std::string_view bytes);

// The UTF-8 form of UTF-16 text; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, char32_t code);

} // namespace velnor
