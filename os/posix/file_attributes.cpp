#include "os/posix/file_attributes.h"

#include "core/text/display_path.h"
#include "os/posix/os_error.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <system_error>

namespace velnor {
namespace {

constexpr std::string_view AccessAcl = "system.posix_acl_access";
constexpr std::string_view DefaultAcl = "system.posix_acl_default";

// Losing these could let more people in; a lost capability only lets the
// program do less.
bool LimitsAccess(std::string_view name) {
    return name.starts_with("system.posix_acl_") ||
           (name.starts_with("security.") && name != "security.capability");
}

bool Has(const ExtendedAttributes& extended, std::string_view name) {
    return std::any_of(extended.begin(), extended.end(),
                       [name](const auto& attribute) { return attribute.first == name; });
}

void ApplyExtended(FileOps& ops, int fd, const ExtendedAttributes& extended,
                   const std::filesystem::path& target, bool folder) {
    for (const auto& [name, value] : extended) {
        const int error = ops.SetAttribute(fd, name, value);
        if (error != 0 && LimitsAccess(name)) {
            throw FileSystemError(DisplayPath(target) + ": its access rights (" + name +
                                  ") cannot be kept: " + std::system_category().message(error));
        }
    }
    // an ACL the new file took from its folder and the old one did not have
    for (const std::string_view acl : {AccessAcl, DefaultAcl}) {
        if ((acl == DefaultAcl && !folder) || Has(extended, acl)) {
            continue;
        }
        const int error = ops.RemoveAttribute(fd, std::string(acl));
        if (error != 0 && error != ENODATA && error != ENOTSUP) {
            throw OsError(error, target);
        }
    }
}

// Only root can give a file away; a user may give a file of theirs to one of
// their groups.
int KeepOwner(FileOps& ops, int fd, const PosixAttributes& keep) {
    struct stat info {};
    if (const int error = ops.Fstat(fd, info); error != 0) {
        return error;
    }
    if (info.st_uid == keep.Owner && info.st_gid == keep.Group) {
        return 0;
    }
    return ops.Fchown(fd, keep.Owner, keep.Group);
}

} // namespace

std::shared_ptr<const PosixAttributes> ReadAttributes(FileOps& ops, int fd, const struct stat& info,
                                                      const std::filesystem::path& shown) {
    auto keep = std::make_shared<PosixAttributes>();
    keep->Mode = static_cast<mode_t>(info.st_mode & 07777);
    keep->Owner = info.st_uid;
    keep->Group = info.st_gid;
    std::vector<std::string> names;
    ThrowIfFailed(ops.ListAttributes(fd, names), shown);
    for (std::string& name : names) {
        std::string value;
        const int error = ops.GetAttribute(fd, name, value);
        if (error == ENODATA) {
            continue; // gone since it was listed
        }
        ThrowIfFailed(error, shown);
        keep->Extended.emplace_back(std::move(name), std::move(value));
    }
    return keep;
}

bool CanKeepOwner(uid_t owner, gid_t group) {
    const uid_t user = geteuid();
    if (user == 0) {
        return true;
    }
    if (owner != user) {
        return false;
    }
    if (group == getegid()) {
        return true;
    }
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(getgroups(0, nullptr), 0)));
    const int count = getgroups(static_cast<int>(groups.size()), groups.data());
    return count > 0 &&
           std::find(groups.begin(), groups.begin() + count, group) != groups.begin() + count;
}

void ApplyAttributes(FileOps& ops, int fd, const PosixAttributes& keep, bool ownerRequired,
                     const std::filesystem::path& target) {
    // A page must not change hands; a copy is the copier's where nothing
    // else is allowed.
    if (const int error = KeepOwner(ops, fd, keep); error != 0 && ownerRequired) {
        throw FileSystemError(DisplayPath(target) + ": its owner and group cannot be kept: " +
                              std::system_category().message(error));
    }
    ApplyExtended(ops, fd, keep.Extended, target, false);
    ThrowIfFailed(ops.Fchmod(fd, keep.Mode), target);
}

void ApplyFolderAttributes(FileOps& ops, int fd, const PosixAttributes& keep,
                           const std::filesystem::path& target) {
    KeepOwner(ops, fd, keep); // where allowed
    ApplyExtended(ops, fd, keep.Extended, target, true);
    ThrowIfFailed(ops.Fchmod(fd, keep.Mode), target);
}

} // namespace velnor
