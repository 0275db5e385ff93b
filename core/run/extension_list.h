#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velnor {

// Text1 split at every "|", entries exactly as typed, empty ones included; an
// empty text gives no entries.
std::vector<std::string> SplitExtensions(std::string_view text);

// Whether the path ends in one of the entries, ignoring letter case. No dot is
// implied: "htm" matches "xhtm". Empty entries match nothing (otherwise a
// stray "|" would have every file of the tree rewritten). Paths and entries
// are compared as bytes with ASCII letters folded; other letters must match
// exactly.
bool MatchesExtension(std::string_view path, const std::vector<std::string>& extensions);

} // namespace velnor
