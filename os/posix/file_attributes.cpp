#include "os/posix/file_attributes.h"

#include "core/text/display_path.h"
#include "os/posix/os_error.h"

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

} // namespace

ExtendedAttributes ReadExtendedAttributes(FileOps& ops, const std::filesystem::path& path) {
    std::vector<std::string> names;
    ThrowIfFailed(ops.ListAttributes(path, names), path);
    ExtendedAttributes extended;
    for (std::string& name : names) {
        std::string value;
        const int error = ops.GetAttribute(path, name, value);
        if (error == ENODATA) {
            continue; // gone since it was listed
        }
        ThrowIfFailed(error, path);
        extended.emplace_back(std::move(name), std::move(value));
    }
    return extended;
}

void ApplyAttributes(FileOps& ops, int fd, const KeptAttributes& keep,
                     const std::filesystem::path& target) {
    struct stat info {};
    ThrowIfFailed(ops.Fstat(fd, info), target);
    if (info.st_uid != keep.Owner || info.st_gid != keep.Group) {
        // Only root can give a file away. A page must not change hands; a
        // copy is the copier's where nothing else is allowed.
        const int error = ops.Fchown(fd, keep.Owner, keep.Group);
        if (error != 0 && keep.OwnerRequired) {
            throw FileSystemError(DisplayPath(target) + ": its owner and group cannot be kept: " +
                                  std::system_category().message(error));
        }
    }
    ApplyExtended(ops, fd, keep.Extended, target, false);
    ThrowIfFailed(ops.Fchmod(fd, keep.Mode), target);
}

void ApplyFolderAttributes(FileOps& ops, int fd, const ExtendedAttributes& extended,
                           const std::filesystem::path& target) {
    ApplyExtended(ops, fd, extended, target, true);
}

} // namespace velnor
