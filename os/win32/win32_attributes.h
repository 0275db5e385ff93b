#pragma once

#include "core/files/folder_handle.h"
#include "os/win32/handle_info.h"
#include "os/win32/windows_api.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace velnor {

// What a rewritten or copied file or folder keeps of the one it stands for.
struct Win32Attributes : FileAttributes {
    DWORD Attributes = 0; // read-only, hidden, system, archive, not indexed
    LARGE_INTEGER Created{};
    // The access control list, as a self-relative security descriptor
    // (LocalFree'd); whether it is protected from inheritance comes with it.
    // None: only what the folder hands down.
    std::shared_ptr<void> Security;
    std::vector<BYTE> Owner; // the owner's security identifier
};

// The attributes of the file or folder open as handle (with READ_CONTROL).
std::shared_ptr<const Win32Attributes> ReadAttributes(HANDLE handle, const HandleInfo& info,
                                                      const std::filesystem::path& shown);

// Whether a file or folder with attributes now already has what wanted says.
bool SameAttributes(const Win32Attributes& now, const Win32Attributes& wanted);

// Gives the file or folder open as handle (with WRITE_DAC, READ_CONTROL,
// FILE_WRITE_ATTRIBUTES and, for its owner, WRITE_OWNER) what keep says: its
// owner (an error when required and not possible), its access list or else
// what its folder hands down, its creation time and attributes.
// An access list that cannot be set is an error: access is never widened.
// Errors name target.
void ApplyAttributes(HANDLE handle, const Win32Attributes& keep, bool ownerRequired,
                     const std::filesystem::path& target);

} // namespace velnor
