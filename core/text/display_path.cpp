#include "core/text/display_path.h"

#include "core/text/ansi_codec.h"
#include "core/text/utf8.h"

#include <cstdint>

namespace velnor {
namespace {

void AppendEscapedByte(std::string& out, unsigned byte) {
    static constexpr char digits[] = "0123456789ABCDEF";
    out += "\\x";
    out += digits[byte >> 4];
    out += digits[byte & 0xF];
}

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint32_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xDC80 && unit <= 0xDCFF) {
            AppendEscapedByte(out, unit - 0xDC00); // a byte the code page could not read
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

// Names as the system keeps them: UTF-16 text (Windows) or bytes (Linux),
// which may be UTF-8 or GBK.
template <typename Unit> std::string DisplayNames(std::basic_string_view<Unit> names) {
    if constexpr (sizeof(Unit) == sizeof(char16_t)) {
        return ToUtf8(
            std::u16string_view(reinterpret_cast<const char16_t*>(names.data()), names.size()));
    } else {
        if (IsValidUtf8(names)) {
            return std::string(names);
        }
        // name by name, so a folder named in UTF-8 still reads right above a GBK name
        std::string out;
        std::size_t start = 0;
        while (start <= names.size()) {
            std::size_t end = names.find('/', start);
            if (end == std::string_view::npos) {
                end = names.size();
            }
            const std::string_view name = names.substr(start, end - start);
            out += IsValidUtf8(name) ? std::string(name) : ToUtf8(DecodeAnsi(name));
            if (end < names.size()) {
                out += '/';
            }
            start = end + 1;
        }
        return out;
    }
}

} // namespace

std::string DisplayPath(const std::filesystem::path& path) {
    return DisplayNames(std::basic_string_view<std::filesystem::path::value_type>(path.native()));
}

} // namespace velnor
