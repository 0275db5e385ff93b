#pragma once

#include "core/files/file_system.h"
#include "os/posix/file_ops.h"

#include <filesystem>

namespace velnor {

// Copies every file, link and subfolder of source into destination (created if
// missing, refused if a link), with their permissions, owners where allowed
// and extended attributes, keeping the holes of sparse files; same-named files
// are replaced atomically when overwrite is set, files only in destination
// stay. Links are copied as links, never followed; the program's temporary
// files are left out. When destination lies inside source it is skipped, so
// the copy ends. progress, when set, hears after every file.
void CopyFolderTree(FileOps& ops, const std::filesystem::path& source,
                    const std::filesystem::path& destination, bool overwrite,
                    const CopyProgress& progress);

// Removes path and, for a folder, everything in it; links are removed, never
// followed.
void RemoveFolderTree(FileOps& ops, const std::filesystem::path& path);

} // namespace velnor
