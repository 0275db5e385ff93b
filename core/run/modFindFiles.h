#pragma once

#include "core/files/file_system.h"
#include "core/run/window_seam.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace velnor {

// The file search: every file under a folder, depth first, a folder's own
// files after those of its subfolders. The folder's backup when it lies
// inside ("/.bak" of "/") and the program's own temporary files and folders
// are left out; the files are removed on the way when asked (only a run that
// holds the folder's lock may ask).
class modFindFiles {
public:
    modFindFiles(WindowSeam& window, FileSystemFactory makeFileSystem);

    void FindFiles(const std::filesystem::path& path);
    // For the scans to come; the count of removed files starts again at 0.
    void SetRemoveLeftovers(bool remove) {
        removeLeftovers_ = remove;
        leftoversRemoved_ = 0;
    }
    // Temporary files removed by the last scan, also one that failed.
    std::uint64_t LeftoversRemoved() const { return leftoversRemoved_; }

    // Paths of the last completed scan, then one empty entry; no entries when
    // that scan found nothing.
    const std::vector<std::filesystem::path>& FoundFiles() const { return FoundFiles_; }
    std::shared_ptr<FileSystemService>& FileSys() { return FileSys_; }
    FileSystemFactory& MakeFileSystem() { return makeFileSystem_; }

private:
    void ScanFolder(std::filesystem::path path);

    WindowSeam& window_;
    FileSystemFactory makeFileSystem_;
    std::vector<std::filesystem::path> FoundList; // accumulator of one scan
    std::vector<std::filesystem::path> FoundFiles_;
    std::shared_ptr<FileSystemService> FileSys_;
    std::filesystem::path backup_; // of the folder being scanned
    bool removeLeftovers_ = false;
    std::uint64_t leftoversRemoved_ = 0;
};

} // namespace velnor
