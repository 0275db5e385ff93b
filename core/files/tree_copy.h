#pragma once

#include "core/files/folder_handle.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace velnor {

// Files and bytes copied so far, after each file.
using CopyProgress = std::function<void(std::uint64_t files, std::uint64_t bytes)>;

struct CopyRules {
    // The destination holds live pages (a restore): a file there is replaced
    // only as a run replaces a page, never one that is read-only, that the
    // user may not write or whose owner would change.
    bool pageRules = false;
    // Left out with all in it: the copy's own destination inside the source.
    std::optional<FolderId> leaveOut;
};

// Afterwards destination holds every file and subfolder of source with their
// attributes (permissions, owner and group where allowed, extended attributes
// and ACLs; on Windows attributes, owner and access list), same-named files
// replaced, its other entries kept; the holes of sparse files stay holes.
// Links are copied as links where the system lets anyone make one, never
// followed on either side; devices, pipes and the program's own temporary
// entries are left out. Each file is written beside its name and renamed over
// it, and each folder gets its attributes and is flushed once it is full.
void CopyTree(FolderHandle& source, FolderHandle& destination, const CopyRules& rules,
              const CopyProgress& progress);

} // namespace velnor
