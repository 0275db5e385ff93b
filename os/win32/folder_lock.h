#pragma once

#include "core/files/file_system.h"

#include <filesystem>
#include <memory>

namespace velnor {

// A lock made of named objects, named after each folder's identity (volume
// serial and file index), which vanish with the last handle, so the system
// drops them when the process dies and nothing is left on disk: an exclusive
// mark on the folder, a shared one on each folder above it, up to the root
// of its volume. A holder publishes its marks first and then looks for the
// others' that conflict (another exclusive mark on the folder or above it, a
// shared one on the folder), so of two holders starting together at least
// one sees the other. Two holders conflict when one's folder is, holds or
// lies in the other's; siblings share their parents. Folders are those the
// system resolves, links followed; one above that cannot be opened is passed
// over. The marks are machine-wide (Global\), open to every user.
std::unique_ptr<FolderLock> LockFolderTree(const std::filesystem::path& folder);

} // namespace velnor
