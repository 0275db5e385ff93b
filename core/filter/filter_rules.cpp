#include "core/filter/filter_rules.h"

namespace velnor::detail {

namespace {

char16_t LowerAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

// Whether the characters from 0-based index `from` on read `pattern`, letter
// case ignored; a window reaching past the end of the text never matches.
bool WindowIs(std::u16string_view text, std::size_t from, std::u16string_view pattern) {
    if (from + pattern.size() > text.size())
        return false;
    for (std::size_t k = 0; k < pattern.size(); ++k)
        if (LowerAscii(text[from + k]) != pattern[k])
            return false;
    return true;
}

} // namespace

void OpeningTests(std::u16string_view text, std::size_t i, Regions& r) {
    const char16_t cur = text[i];
    const std::size_t n = text.size();
    if (cur == u'%' || (i + 1 < n && cur == Space && text[i + 1] == u'%') ||
        (i + 2 < n && cur == CarriageReturn && text[i + 1] == LineFeed && text[i + 2] == u'%'))
        r.InAsp = true;
    if (WindowIs(text, i, u"script"))
        r.InScript = true;
    if (!r.InAsp)
        r.InTag = true;
}

void ClosingTests(std::u16string_view text, std::size_t i, Regions& r) {
    if (i >= 2 && text[i - 2] == u'%')
        r.InAsp = false;
    // The window "script>" ends at the ">" and must start at the first character or later.
    if (i >= 7 && WindowIs(text, i - 7, u"script>"))
        r.InScript = false;
    if (!r.InAsp)
        r.InTag = false;
}

} // namespace velnor::detail
