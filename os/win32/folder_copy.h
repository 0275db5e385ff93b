#pragma once

#include "core/files/file_system.h"

#include <filesystem>

namespace velnor {

// Copies every file and subfolder of source into destination (created if
// missing; never a link), each file with its attributes and access control
// list; same-named files are replaced atomically when overwrite is set
// (read-only ones too), files only in destination stay. Links (symbolic
// links, junctions) are neither followed nor copied, nor are the program's
// own temporary files. When destination lies inside source it is skipped, so
// the copy ends. Progress hears of every file copied.
void CopyFolderTree(const std::filesystem::path& source, const std::filesystem::path& destination,
                    bool overwrite, const CopyProgress& progress);

// Removes path and everything in it; links are removed, never followed.
// Nothing there is nothing to remove.
void RemoveFolderTree(const std::filesystem::path& path);

} // namespace velnor
