#pragma once

#include "os/win32/file_info.h"

#include <filesystem>
#include <string>
#include <vector>

namespace velnor {

struct ListedEntry {
    std::wstring Name;
    EntryKind Kind = EntryKind::Other;
};

// Every entry of the folder but "." and "..", sorted by name (UTF-16 unit
// order, like the byte order of the Linux layer), so runs are repeatable.
std::vector<ListedEntry> ListFolder(const std::filesystem::path& folder);

} // namespace velnor
