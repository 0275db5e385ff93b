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

// Characters that would act on a terminal or a label instead of showing:
// C0 and C1 controls, DEL, line and paragraph separators, and the marks that
// reorder text (a name could show as another).
bool ActsInsteadOfShowing(char32_t code) {
    return code < 0x20 || (code >= 0x7F && code <= 0x9F) || (code >= 0x2028 && code <= 0x202E) ||
           (code >= 0x2066 && code <= 0x2069);
}

// No byte of such a character in UTF-8: below 0x20, DEL, and the lead bytes
// of U+0080-U+009F and of U+2028-U+2069.
bool MayHoldControls(std::string_view text) {
    for (const unsigned char byte : text) {
        if (byte < 0x20 || byte == 0x7F || byte == 0xC2 || byte == 0xE2) {
            return true;
        }
    }
    return false;
}

// text is valid UTF-8.
std::string EscapeControls(std::string_view text) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = text[i];
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        if (!ActsInsteadOfShowing(code)) {
            out.append(text.substr(i, length));
        } else if (code == '\n') {
            out += "\\n";
        } else if (code == '\r') {
            out += "\\r";
        } else if (code == '\t') {
            out += "\\t";
        } else if (code <= 0x7F) {
            AppendEscapedByte(out, code);
        } else {
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4) {
                out += digits[(code >> shift) & 0xF];
            }
        }
        i += length;
    }
    return out;
}

// Names as the system keeps them, as UTF-8 that may still hold controls:
// UTF-16 text (Windows) as its text; bytes (Linux) as they are where they are
// UTF-8, otherwise read in GBK name by name.
template <typename Unit> std::string Readable(std::basic_string_view<Unit> names) {
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
    std::string readable =
        Readable(std::basic_string_view<std::filesystem::path::value_type>(path.native()));
    return MayHoldControls(readable) ? EscapeControls(readable) : readable;
}

} // namespace velnor
