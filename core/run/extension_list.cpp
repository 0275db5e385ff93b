#include "core/run/extension_list.h"

#include "core/text/ascii.h"

#include <algorithm>

namespace velnor {

namespace {

bool EndsWithIgnoringCase(std::string_view text, std::string_view end) {
    if (text.size() < end.size())
        return false;
    return std::equal(end.begin(), end.end(), text.end() - end.size(),
                      [](char a, char b) { return AsciiLower(a) == AsciiLower(b); });
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

bool MatchesExtension(std::string_view path, const std::vector<std::string>& extensions) {
    return std::any_of(extensions.begin(), extensions.end(), [path](const std::string& e) {
        return !e.empty() && EndsWithIgnoringCase(path, e);
    });
}

} // namespace velnor
