#pragma once

#include "core/files/file_system.h"
#include "os/posix/file_ops.h"

#include <filesystem>
#include <memory>

namespace velnor {

// Locks the open folder folderFd (flock, exclusive) and, with ancestors, each
// folder above it (shared), each through a descriptor of its own reached
// from the folder's: a holder of the folder or of one inside it conflicts
// with the exclusive lock, a holder of one around it with a shared one, and
// folders side by side share only shared locks. The locks go with the
// descriptors, at the latest when the process ends; nothing is written.
std::unique_ptr<FolderLock> LockFolderAt(std::shared_ptr<FileOps> ops, int folderFd,
                                         const std::filesystem::path& shown, bool withAncestors);

} // namespace velnor
