#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velnor {

// Text1 split at every "|", entries exactly as typed, empty ones included; an
// empty text gives no entries.
std::vector<std::string> SplitExtensions(std::string_view text);

// Whether a name ends in one of the entries of the extension list, both
// lower-cased as the system lower-cases text (every letter, not only ASCII
// ones). No dot is implied: "htm" matches "xhtm". Empty entries match nothing
// (otherwise a stray "|" would have every file of the tree rewritten).
class ExtensionMatcher {
public:
    using Units = std::basic_string_view<std::filesystem::path::value_type>;

    explicit ExtensionMatcher(const std::vector<std::string>& entries); // UTF-8

    // A file's name as the system gives it: where names are bytes, UTF-8
    // text, or else GBK; where they are UTF-16, that. Where an entry is
    // longer than the name, the file's whole path decides.
    bool Matches(Units name, const std::function<std::filesystem::path()>& path) const;

private:
    std::vector<std::u16string> entries_; // lower-cased, none empty
    std::size_t longest_ = 0;
};

} // namespace velnor
