#include "os/win32/wide_text.h"

#include "core/text/utf8.h"

#include <optional>
#include <stdexcept>

namespace velnor {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

std::wstring WideFromUtf8(std::string_view text) {
    const std::optional<std::u16string> units = Utf8ToUtf16(text);
    if (!units) {
        throw std::invalid_argument("the text is not UTF-8");
    }
    return Wide(*units);
}

std::string Utf8FromWide(std::wstring_view text) {
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

} // namespace velnor
