#pragma once

#include "core/files/folder_handle.h"
#include "os/posix/file_ops.h"

#include <filesystem>
#include <memory>

namespace velnor {

// The folder opened as fd, which the handle owns from here on.
std::unique_ptr<FolderHandle> MakePosixFolder(std::shared_ptr<FileOps> ops, int fd,
                                              std::filesystem::path shown);

// Opens the folder name of the open folder folderFd, never through a link;
// one that may be searched but not read is opened for its entries only.
// Errors name shown.
int OpenFolderAt(FileOps& ops, int folderFd, const std::filesystem::path& name,
                 const std::filesystem::path& shown);

} // namespace velnor
