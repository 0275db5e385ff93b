#pragma once

#include "core/files/file_system.h"
#include "core/run/window_seam.h"

#include <filesystem>

namespace velnor {

// The folder's path followed directly by ".bak": a sibling for a folder, a
// folder inside the root for "/". Trailing separators of a non-root path are
// dropped first, so "site/" gives "site.bak" like "site".
std::filesystem::path BackupPath(const std::filesystem::path& folder);

// The backup step of a run. Does nothing when Check4 is clear. Asks before
// refreshing an existing backup; returns false when the user declines, and
// the run is to end silently. Errors pass to the caller.
bool BackUpFolder(WindowSeam& window, FileSystemService& fileSys,
                  const std::filesystem::path& folder);

// The restore: asks, copies the backup over the folder (files added since
// stay), then says so. Returns false, having done nothing, when the user does
// not answer OK. Errors pass to the caller.
bool RestoreFolder(WindowSeam& window, FileSystemService& fileSys,
                   const std::filesystem::path& folder);

} // namespace velnor
