#include "core/run/extension_list.h"

#include "core/text/ansi_codec.h"
#include "core/text/lower_case.h"
#include "core/text/utf8.h"

#include <algorithm>

namespace velnor {
namespace {

// The text of a name, lower-cased: a name of bytes is UTF-8 or else the ANSI
// code page's, a wide name is UTF-16 already.
[[maybe_unused]] std::u16string LoweredText(std::string_view name) {
    std::optional<std::u16string> text = Utf8ToUtf16(name);
    return LowerCased(text ? *text : DecodeAnsi(name));
}

[[maybe_unused]] std::u16string LoweredText(std::wstring_view name) {
    return LowerCased(std::u16string(name.begin(), name.end()));
}

} // namespace

std::vector<std::string> SplitExtensions(std::string_view text) {
    std::vector<std::string> entries;
    if (text.empty())
        return entries;
    for (;;) {
        const auto bar = text.find('|');
        entries.emplace_back(text.substr(0, bar));
        if (bar == std::string_view::npos)
            return entries;
        text.remove_prefix(bar + 1);
    }
}

ExtensionMatcher::ExtensionMatcher(const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        if (entry.empty())
            continue;
        std::optional<std::u16string> text = Utf8ToUtf16(entry);
        entries_.push_back(LowerCased(text ? *text : DecodeAnsi(entry)));
        longest_ = std::max(longest_, entries_.back().size());
    }
}

bool ExtensionMatcher::Matches(Units name,
                               const std::function<std::filesystem::path()>& path) const {
    std::u16string text = LoweredText(name);
    if (text.size() < longest_)
        text = LoweredText(path().native());
    return std::any_of(entries_.begin(), entries_.end(),
                       [&text](const std::u16string& entry) { return text.ends_with(entry); });
}

} // namespace velnor
