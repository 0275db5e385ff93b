#pragma once

#include "core/files/file_system.h"
#include "os/posix/file_ops.h"

#include <filesystem>
#include <memory>

namespace velnor {

// An advisory lock (flock) held on open descriptors, which the system drops
// when the process dies: exclusive on the folder, shared on each folder above
// it up to the root, found through ".." as the system resolves it. So two
// holders conflict when one's folder is, holds or lies in the other's, and
// siblings share their parents. A folder above that the user may not open
// (or a file system without locks) is passed over.
std::unique_ptr<FolderLock> LockFolderTree(std::shared_ptr<FileOps> ops,
                                           const std::filesystem::path& folder);

} // namespace velnor
