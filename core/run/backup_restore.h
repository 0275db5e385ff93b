#pragma once

#include "core/files/file_system.h"
#include "core/run/window_seam.h"

#include <cstdint>
#include <filesystem>

namespace velnor {

// The folder's path followed directly by ".bak": a sibling for a folder, a
// folder inside the root for "/". Trailing separators of a non-root path are
// dropped first, so "site/" gives "site.bak" like "site".
std::filesystem::path BackupPath(const std::filesystem::path& folder);

// The backup step of a run. Does nothing when Check4 is clear. Refuses a
// backup path that is a link, not a folder, or the folder itself or inside it
// by another name, before anything is copied. Asks before refreshing an
// existing backup; returns false when the user declines, and the run is to
// end silently. A new backup is built under a temporary name beside it and
// takes its name only when complete; one that a killed run left unfinished
// is removed first (leftovers counts them). Errors pass to the caller.
bool BackUpFolder(WindowSeam& window, FileSystemService& fileSys,
                  const std::filesystem::path& folder, const CopyProgress& progress,
                  std::uint64_t& leftovers);

// The restore: asks, refuses a backup path as the backup step does, removes
// the temporary files a run that died left in the folder (leftovers counts
// them), copies the backup over the folder (files added since stay), then
// says so. Returns false, having done nothing, when the user does not answer
// OK. Errors pass to the caller.
bool RestoreFolder(WindowSeam& window, FileSystemService& fileSys,
                   const std::filesystem::path& folder, const CopyProgress& progress,
                   std::uint64_t& leftovers);

} // namespace velnor
