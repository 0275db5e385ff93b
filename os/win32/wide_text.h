#pragma once

#include <string>
#include <string_view>

namespace velnor {

// The program speaks UTF-8 and UTF-16 (char16_t); the wide Win32 calls take
// UTF-16 as wchar_t, which is 16 bits on Windows.
std::wstring Wide(std::u16string_view text);
// Text that is not UTF-8 throws std::invalid_argument.
std::wstring WideFromUtf8(std::string_view text);
// A lone surrogate (a name Windows allows, no text) becomes U+FFFD.
std::string Utf8FromWide(std::wstring_view text);

} // namespace velnor
