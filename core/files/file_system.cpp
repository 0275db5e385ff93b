#include "core/files/file_system.h"

#include "core/files/folder_handle.h"
#include "core/text/display_path.h"

namespace velnor {

std::optional<std::pair<std::uint64_t, std::uint64_t>> ReadableFile::NextData(std::uint64_t offset,
                                                                              std::uint64_t end) {
    if (offset >= end)
        return std::nullopt;
    return std::pair{offset, end};
}

FileSystemError PageTooLarge(const std::filesystem::path& page, std::uint64_t maxBytes) {
    return FileSystemError(DisplayPath(page) + ": page is larger than " + std::to_string(maxBytes) +
                           " bytes");
}

FileSystemError PageChanged(const std::filesystem::path& page) {
    return FileSystemError(DisplayPath(page) +
                           ": changed by another program during the run; left as it is");
}

FileSystemError PageGone(const std::filesystem::path& page) {
    return FileSystemError(DisplayPath(page) +
                           ": removed or renamed by another program during the run; not "
                           "written again");
}

FileSystemError NotOrdinaryFile(const std::filesystem::path& path) {
    return FileSystemError(DisplayPath(path) + ": not an ordinary file");
}

FileSystemError NotAFolder(const std::filesystem::path& path) {
    return FileSystemError(DisplayPath(path) + ": not a folder");
}

FileSystemError LinkRefused(const std::filesystem::path& path) {
    return FileSystemError(DisplayPath(path) +
                           ": is a symbolic link; nothing is read or written through it");
}

FileSystemError FolderMoved(const std::filesystem::path& folder) {
    return FileSystemError(DisplayPath(folder) +
                           ": moved or replaced by another program during the run");
}

FolderBusy FolderInUse(const std::filesystem::path& folder) {
    return FolderBusy(DisplayPath(folder) +
                      ": another run or restore is working on this folder, or on one inside "
                      "or around it; try again when it has finished");
}

} // namespace velnor
