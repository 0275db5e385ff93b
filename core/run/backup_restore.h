#pragma once

#include "core/files/tree_copy.h"
#include "core/files/tree_walk.h"
#include "core/files/user_folder.h"
#include "core/run/window_seam.h"

#include <filesystem>
#include <optional>

namespace velnor {

// The folder's path followed directly by ".bak": a sibling for a folder, a
// folder inside the root for "/". Trailing separators of a non-root path are
// dropped first, so "site/" gives "site.bak" like "site".
std::filesystem::path BackupPath(const std::filesystem::path& folder);

// The backup that lies inside a root, which a run leaves out.
std::optional<FolderId> BackupInside(const UserFolder& folder);

// Removes what an interrupted backup or restore left beside the folder: an
// unfinished new backup, an unfinished folder made anew. Only for a caller
// that holds the folder's lock.
Leftovers RemoveUnfinished(const UserFolder& folder);

// The backup step of a run, for a folder whose lock the caller holds. Does
// nothing when Check4 is clear. Refuses a backup path that is a link, not a
// folder, or the folder itself or inside or around it by another name, before
// anything is copied. Asks before refreshing an existing backup; returns
// false when the user declines, and the run is to end silently. A new backup
// is built under a temporary name beside it and takes its name only when
// complete; an existing one is held as the folder is, cleared of what an
// interrupted copy left (added to leftovers) and brought up to date. Errors
// pass to the caller.
bool BackUpFolder(WindowSeam& window, const UserFolder& folder, const CopyProgress& progress,
                  Leftovers& leftovers);

// The restore: asks first, and does nothing more unless the answer is OK
// (then returns false). Then holds the folder (the folder around it, when it
// is missing) and its backup, refuses a backup path as the backup step does,
// removes what interrupted runs left in both (added to leftovers), and
// copies the backup over the folder: files added since stay, and a page is
// replaced only as a run would replace it. A missing folder is made anew
// under a temporary name and takes its name only when complete. Finally it
// says so. Errors pass to the caller.
bool RestoreFolder(WindowSeam& window, FileSystemService& fileSys,
                   const std::filesystem::path& path, const CopyProgress& progress,
                   Leftovers& leftovers);

} // namespace velnor
