#include "core/run/extension_list.h"

#include "core/text/ascii.h"

#include <algorithm>

namespace velnor {

namespace {

template <typename Unit>
bool EndsWithIgnoringCase(std::basic_string_view<Unit> text, std::basic_string_view<Unit> end) {
    if (text.size() < end.size())
        return false;
    return std::equal(end.begin(), end.end(), text.end() - end.size(),
                      [](Unit a, Unit b) { return AsciiLower(a) == AsciiLower(b); });
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

bool MatchesExtension(std::basic_string_view<std::filesystem::path::value_type> path,
                      const std::vector<std::filesystem::path>& extensions) {
    using Names = std::basic_string_view<std::filesystem::path::value_type>;
    return std::any_of(extensions.begin(), extensions.end(), [path](const auto& e) {
        return !e.empty() && EndsWithIgnoringCase(path, Names(e.native()));
    });
}

} // namespace velnor
