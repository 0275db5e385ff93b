#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velnor {

// Text1 split at every "|", entries exactly as typed, empty ones included; an
// empty text gives no entries.
std::vector<std::string> SplitExtensions(std::string_view text);

// Whether the path ends in one of the entries, ignoring letter case. No dot is
// implied: "htm" matches "xhtm". Empty entries match nothing (otherwise a
// stray "|" would have every file of the tree rewritten). The entries are
// given as paths (PathFromUtf8), so both sides are in the form the system
// names files (bytes, or UTF-16 on Windows); they are compared unit by unit
// with ASCII letters folded, other letters must match exactly.
bool MatchesExtension(std::basic_string_view<std::filesystem::path::value_type> path,
                      const std::vector<std::filesystem::path>& extensions);

} // namespace velnor
