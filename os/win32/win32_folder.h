#pragma once

#include "core/files/folder_handle.h"
#include "os/win32/unique_handle.h"

#include <cstdint>
#include <filesystem>
#include <memory>

namespace velnor {

// The folder open as handle, which it owns from here on, on the volume with
// that serial number; shown as shown.
std::unique_ptr<FolderHandle> MakeWin32Folder(UniqueHandle handle, std::uint64_t volume,
                                              std::filesystem::path shown);

// What a folder's handle is opened with: to list it and reach what lies in it.
inline constexpr ACCESS_MASK FolderAccess =
    FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;
// A folder that may be searched but not listed: enough to reach what lies in it.
inline constexpr ACCESS_MASK SearchAccess = FILE_TRAVERSE | FILE_READ_ATTRIBUTES;

} // namespace velnor
