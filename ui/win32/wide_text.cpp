#include "ui/win32/wide_text.h"

#include "core/text/utf8.h"

namespace velnor {

std::wstring Wide(std::string_view utf8) {
    std::u16string text;
    if (const auto converted = Utf8ToUtf16(utf8))
        text = *converted;
    else
        for (const char byte : utf8)
            text += static_cast<unsigned char>(byte) < 0x80 ? char16_t(byte) : u'\uFFFD';
    return std::wstring(text.begin(), text.end());
}

std::string Utf8(std::wstring_view wide) {
    return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

} // namespace velnor
