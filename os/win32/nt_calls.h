#pragma once

#include "os/win32/unique_handle.h"
#include "os/win32/windows_api.h"

#include <winternl.h>

#include <ntstatus.h>

#include <string>
#include <string_view>

namespace velnor {

// The native calls the file layer makes where Win32 has no call relative to
// an open folder. Each answers the system's status, never throws and changes
// no thread error code, so a failure is reported as the call saw it.

// Opens or makes name in the open folder (a name, never a path), or with an
// empty name the folder itself. A security descriptor, if any, is the new
// entry's.
NTSTATUS OpenAt(HANDLE folder, std::wstring_view name, ACCESS_MASK access, ULONG share,
                ULONG disposition, ULONG options, UniqueHandle& opened,
                PSECURITY_DESCRIPTOR security = nullptr);
// Opens a folder by its name in the system's own namespace ("\Device\...").
NTSTATUS OpenNtPath(std::wstring_view path, ACCESS_MASK access, ULONG options,
                    UniqueHandle& opened);

// Gives the open entry the name `to` in folder, over what is there when
// replace is set.
NTSTATUS RenameTo(HANDLE entry, HANDLE folder, std::wstring_view to, bool replace);
// Removes the open entry's name once its last handle is closed.
NTSTATUS MarkForDeletion(HANDLE entry);

// The open entry's name from its volume's root ("\site\a.htm").
NTSTATUS QueryFileName(HANDLE entry, std::wstring& name);
// The open entry's whole name in the system's namespace
// ("\Device\HarddiskVolume2\site\a.htm"; under Wine "\??\C:\site\a.htm").
NTSTATUS QueryObjectName(HANDLE entry, std::wstring& name);

// The entries of an open folder, a buffer full at a time.
NTSTATUS QueryEntries(HANDLE folder, void* buffer, ULONG size, bool restart);

inline bool NotFound(NTSTATUS status) {
    return status == STATUS_OBJECT_NAME_NOT_FOUND || status == STATUS_OBJECT_PATH_NOT_FOUND ||
           status == STATUS_NO_SUCH_FILE;
}

// Every other opener may read, write and rename or remove: the program
// never keeps another from working, and what it needs alone it asks for in
// the access it requests.
inline constexpr ULONG ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

} // namespace velnor
