#pragma once

#include "core/files/folder_handle.h"
#include "os/win32/handle_info.h"
#include "os/win32/unique_handle.h"
#include "os/win32/win32_attributes.h"

#include <filesystem>
#include <memory>

namespace velnor {

// The handle of an open folder, kept by the files opened in it as long as
// they need it.
using FolderHandleRef = std::shared_ptr<const UniqueHandle>;

// The file open as handle, to be read; errors name shown.
std::unique_ptr<ReadableFile> MakeReadableFile(UniqueHandle handle, std::filesystem::path shown);

// The new file open as handle in folder, to be written; errors name shown.
std::unique_ptr<NewFile> MakeNewFile(FolderHandleRef folder, UniqueHandle handle,
                                     std::filesystem::path shown);

// The page that was info when it was looked at, to be replaced keeping
// attributes, in the tree of top, the folder the user named. No handle of it
// stays open: a file another handle holds cannot be renamed over, even when
// that handle lets it.
std::unique_ptr<HeldPage> MakeHeldPage(FolderHandleRef top, const HandleInfo& info,
                                       std::shared_ptr<const Win32Attributes> attributes);

} // namespace velnor
