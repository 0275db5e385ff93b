#pragma once

#include "os/posix/file_ops.h"

#include <filesystem>

namespace velnor {

// Copies every file, link and subfolder of source into destination (created if
// missing); same-named files are replaced atomically when overwrite is set,
// files only in destination stay. Links are copied as links, never followed.
// When destination lies inside source it is skipped, so the copy ends.
void CopyFolderTree(FileOps& ops, const std::filesystem::path& source,
                    const std::filesystem::path& destination, bool overwrite);

} // namespace velnor
