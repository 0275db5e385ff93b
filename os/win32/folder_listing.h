#pragma once

#include "core/files/folder_handle.h"
#include "os/win32/windows_api.h"

#include <filesystem>
#include <vector>

namespace velnor {

// Every entry of the open folder but "." and "..", in the system's order,
// each of the kind its attributes and reparse tag say. Safe on several
// threads at once: each listing goes through a handle of its own. Errors
// name shown.
std::vector<Entry> ListFolder(HANDLE folder, const std::filesystem::path& shown);

} // namespace velnor
