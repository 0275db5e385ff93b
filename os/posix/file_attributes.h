#pragma once

#include "core/files/folder_handle.h"
#include "os/posix/file_ops.h"

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace velnor {

// Extended attributes by name, values as bytes; POSIX ACLs among them.
using ExtendedAttributes = std::vector<std::pair<std::string, std::string>>;

// What a rewritten or copied file or folder keeps of the one it stands for.
struct PosixAttributes : FileAttributes {
    mode_t Mode = 0; // permission bits, setuid/setgid/sticky included
    uid_t Owner = 0;
    gid_t Group = 0;
    ExtendedAttributes Extended;
};

// The attributes of the open file or folder fd, whose status is info.
std::shared_ptr<const PosixAttributes> ReadAttributes(FileOps& ops, int fd, const struct stat& info,
                                                      const std::filesystem::path& shown);

// Whether the running user may give a file that owner and group: root may,
// others only their own files, to one of their groups.
bool CanKeepOwner(uid_t owner, gid_t group);

// Gives the open file fd the owner, extended attributes and mode, in that
// order (a change of owner clears setuid and setgid; the mode then sets an
// ACL's mask as the original had it). An attribute that limits access (an
// ACL, a security label) that cannot be set is an error, and so is one the
// new file got from its folder that the original did not have. The owner
// and group are an error when required. Errors name target.
void ApplyAttributes(FileOps& ops, int fd, const PosixAttributes& keep, bool ownerRequired,
                     const std::filesystem::path& target);

// The same for a folder: its default ACL too, its owner and group where the
// system allows.
void ApplyFolderAttributes(FileOps& ops, int fd, const PosixAttributes& keep,
                           const std::filesystem::path& target);

} // namespace velnor
