#pragma once

#include <filesystem>

namespace velnor {

// Copies every file and subfolder of source into destination (created if
// missing), each file with its attributes and access control list; same-named
// files are replaced atomically when overwrite is set (read-only ones too),
// files only in destination stay. Links (symbolic links, junctions) are
// neither followed nor copied. When destination lies inside source it is
// skipped, so the copy ends.
void CopyFolderTree(const std::filesystem::path& source, const std::filesystem::path& destination,
                    bool overwrite);

} // namespace velnor
