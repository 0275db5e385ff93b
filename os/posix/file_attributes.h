#pragma once

#include "os/posix/file_ops.h"

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace velnor {

// Extended attributes by name, values as bytes; POSIX ACLs among them.
using ExtendedAttributes = std::vector<std::pair<std::string, std::string>>;

// What a rewritten or copied file keeps of the file it stands for.
struct KeptAttributes {
    mode_t Mode = 0; // permission bits, setuid/setgid/sticky included
    uid_t Owner = 0;
    gid_t Group = 0;
    ExtendedAttributes Extended;
    // A replaced page must keep its owner and group; a copy may take the
    // copier's when the system allows no other.
    bool OwnerRequired = false;
};

// path's extended attributes, links not followed.
ExtendedAttributes ReadExtendedAttributes(FileOps& ops, const std::filesystem::path& path);

// Gives the open file fd the kept owner, extended attributes and mode, in
// that order (a change of owner clears setuid and setgid; the mode then sets
// an ACL's mask as the page had it). An attribute that limits access (an
// ACL, a security label) that cannot be set is an error, and so is one the
// new file got from its folder that the old file did not have. Errors name
// target.
void ApplyAttributes(FileOps& ops, int fd, const KeptAttributes& keep,
                     const std::filesystem::path& target);

// The same for a folder's extended attributes (its default ACL included).
void ApplyFolderAttributes(FileOps& ops, int fd, const ExtendedAttributes& extended,
                           const std::filesystem::path& target);

} // namespace velnor
