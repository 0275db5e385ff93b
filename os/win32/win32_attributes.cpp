#include "os/win32/win32_attributes.h"

#include "core/text/display_path.h"
#include "os/win32/win32_error.h"
#include "os/win32/wine.h"
#include "os/win32/wine_permissions.h"

#include <aclapi.h>

#include <cstring>

namespace velnor {
namespace {

constexpr DWORD KeptAttributeMask = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                    FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// A list of entries all handed down by the folder, and open to them: the
// folder hands a new file the same, so there is nothing to copy (and setting
// it would cost the system a pass over the folder's list).
bool OnlyHandedDown(PSECURITY_DESCRIPTOR descriptor, PACL list) {
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (list == nullptr || !GetSecurityDescriptorControl(descriptor, &control, &revision) ||
        (control & SE_DACL_PROTECTED) != 0)
        return false;
    for (DWORD i = 0; i < list->AceCount; ++i) {
        ACE_HEADER* entry = nullptr;
        if (!GetAce(list, i, reinterpret_cast<void**>(&entry)) ||
            (entry->AceFlags & INHERITED_ACE) == 0)
            return false;
    }
    return true;
}

// The owner of the open file or folder; none when it may not be read.
std::vector<BYTE> OwnerOf(HANDLE handle) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                        nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return {};
    const auto* sid = static_cast<const BYTE*>(owner);
    std::vector<BYTE> copy(sid, sid + GetLengthSid(owner));
    LocalFree(descriptor);
    return copy;
}

// Giving a file away takes the privilege to restore files. The owner is read
// back: Wine takes any owner and keeps the file's own.
void KeepOwner(HANDLE handle, const std::vector<BYTE>& owner, bool required,
               const std::filesystem::path& target) {
    if (OwnerOf(handle) == owner)
        return;
    DWORD error = SetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION,
                                  const_cast<BYTE*>(owner.data()), nullptr, nullptr, nullptr);
    if (error == ERROR_SUCCESS && OwnerOf(handle) != owner)
        error = ERROR_INVALID_OWNER;
    if (error != ERROR_SUCCESS && required)
        throw FileSystemError(DisplayPath(target) + ": its owner cannot be kept: " +
                              Win32Category().message(static_cast<int>(error)));
}

// A protected list stays as it is; an unprotected one keeps its own entries
// and takes the rest from the folder, as the original did. Without a list of
// its own the new file takes what the folder hands down, as it would have
// had it not been made open to its owner alone.
void KeepList(HANDLE handle, const std::shared_ptr<void>& security,
              const std::filesystem::path& target) {
    PACL list = nullptr;
    SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION;
    ACL empty{};
    if (security) {
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        ThrowIfFailed(GetSecurityDescriptorDacl(security.get(), &present, &list, &defaulted),
                      target);
        ThrowIfFailed(GetSecurityDescriptorControl(security.get(), &control, &revision), target);
        if ((control & SE_DACL_PROTECTED) != 0)
            what = DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION;
    }
    if (list == nullptr) {
        ThrowIfFailed(InitializeAcl(&empty, sizeof empty, ACL_REVISION), target);
        list = &empty;
    }
    const DWORD error =
        SetSecurityInfo(handle, SE_FILE_OBJECT, what, nullptr, nullptr, list, nullptr);
    if (error != ERROR_SUCCESS)
        throw Win32Error(error, target);
}

// The list itself and whether it is protected.
bool SameList(const std::shared_ptr<void>& a, const std::shared_ptr<void>& b) {
    if (!a || !b)
        return a == b;
    BOOL present[2] = {};
    BOOL defaulted = FALSE;
    PACL lists[2] = {};
    SECURITY_DESCRIPTOR_CONTROL controls[2] = {};
    DWORD revision = 0;
    for (int i = 0; i < 2; ++i) {
        void* descriptor = (i == 0 ? a : b).get();
        if (!GetSecurityDescriptorDacl(descriptor, &present[i], &lists[i], &defaulted) ||
            !GetSecurityDescriptorControl(descriptor, &controls[i], &revision))
            return false;
    }
    if (!present[0] || !present[1] || !lists[0] || !lists[1])
        return present[0] == present[1] && lists[0] == lists[1];
    return ((controls[0] ^ controls[1]) & SE_DACL_PROTECTED) == 0 &&
           lists[0]->AclSize == lists[1]->AclSize &&
           std::memcmp(lists[0], lists[1], lists[0]->AclSize) == 0;
}

} // namespace

bool SameAttributes(const Win32Attributes& now, const Win32Attributes& wanted) {
    return now.Owner == wanted.Owner &&
           ((now.Attributes ^ wanted.Attributes) & KeptAttributeMask & ~FILE_ATTRIBUTE_ARCHIVE) ==
               0 &&
           SameList(now.Security, wanted.Security);
}

std::shared_ptr<const Win32Attributes> ReadAttributes(HANDLE handle, const HandleInfo& info,
                                                      const std::filesystem::path& shown) {
    auto keep = std::make_shared<Win32Attributes>();
    keep->Attributes = info.Attributes;
    keep->Created = info.Created;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PSID owner = nullptr;
    PACL list = nullptr;
    const DWORD error = GetSecurityInfo(handle, SE_FILE_OBJECT,
                                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                        &owner, nullptr, &list, nullptr, &descriptor);
    if (error != ERROR_SUCCESS)
        throw Win32Error(error, shown);
    keep->Security = std::shared_ptr<void>(descriptor, LocalFree);
    if (owner != nullptr) {
        const auto* sid = static_cast<const BYTE*>(owner);
        keep->Owner.assign(sid, sid + GetLengthSid(owner));
    }
    if (OnlyHandedDown(descriptor, list))
        keep->Security.reset();
    return keep;
}

void ApplyAttributes(HANDLE handle, const Win32Attributes& keep, bool ownerRequired,
                     const std::filesystem::path& target) {
    if (!keep.Owner.empty())
        KeepOwner(handle, keep.Owner, ownerRequired, target);
    FILE_BASIC_INFO basic{};
    basic.CreationTime = keep.Created;
    // a rewritten file is a changed one: backup programs look for the archive bit
    basic.FileAttributes = (keep.Attributes & KeptAttributeMask) | FILE_ATTRIBUTE_ARCHIVE;
    ThrowIfFailed(SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic), target);
    // after the attributes, which Wine turns into permission bits of its own
    if (UnderWine())
        SetPermissionBits(handle, keep.Security, (keep.Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                          target);
    else
        KeepList(handle, keep.Security, target);
}

} // namespace velnor
