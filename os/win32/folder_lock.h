#pragma once

#include "core/files/file_system.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace velnor {

// A lock made of named objects, named after each folder's identity (volume
// serial and file index), which vanish with the last handle, so the system
// drops them when the process dies and nothing is left on disk: an exclusive
// mark on the folder, a shared one on each folder above it. A holder
// publishes its marks first and then looks for the others' that conflict
// (another exclusive mark on the folder or above it, a shared one on the
// folder), so of two holders starting together at least one sees the other.
// Two holders conflict when one's folder is, holds or lies in the other's;
// siblings share their parents. The marks are machine-wide (Global\), open to
// every user. Errors name shown.
std::unique_ptr<FolderLock> LockFolderTree(const FolderId& folder,
                                           const std::vector<FolderId>& above,
                                           const std::filesystem::path& shown);

} // namespace velnor
