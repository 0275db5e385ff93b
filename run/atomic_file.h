#pragma once

#include "run/file_ops.h"

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

namespace velnor {

// What a rewritten file keeps of the file it replaces.
struct KeptAttributes {
    mode_t Mode = 0; // permission bits, setuid/setgid/sticky included
    uid_t Owner = 0;
    gid_t Group = 0;
};

// A free name beside target for a temporary file: ".<name>.velnor-XXXXXX".
std::filesystem::path TempNameBeside(const std::filesystem::path& target);

// Puts a new file at target without ever leaving it missing or half-written:
// fill writes the content into a temporary file beside target (unnamed where
// the file system allows), which gets the kept attributes (or the usual ones
// for a new file), is flushed to disk, named and renamed over target; then the
// folder is flushed too. On any failure the temporary file is removed and
// target is as it was. Errors name target.
void WriteAtomically(FileOps& ops, const std::filesystem::path& target,
                     const std::optional<KeptAttributes>& keep,
                     const std::function<void(int fd)>& fill);

void WriteAll(FileOps& ops, int fd, std::string_view bytes, const std::filesystem::path& path);

// Makes the entries of a folder (a rename, a new file) last through a crash.
void FsyncFolder(FileOps& ops, const std::filesystem::path& folder);

} // namespace velnor
