#pragma once

#include "core/files/folder_table.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace velnor {

// The files a scan found, in the order found. As paths it is the list that
// the scan's text of paths, each followed by "|", gives when cut at every
// "|": the paths, then one empty entry; no entries when nothing was found.
// Kept as names under a table of folders, so that a tree of many thousands of
// files takes little memory and each file can be reached from the scanned
// folder one name at a time.
class FoundFileList {
public:
    struct File {
        std::uint32_t folder; // in Folders()
        EntryName name;
    };

    FoundFileList() = default;
    explicit FoundFileList(std::filesystem::path root) : folders_(std::move(root)) {}

    std::size_t size() const { return files_.empty() ? 0 : files_.size() + 1; }
    bool empty() const { return files_.empty(); }
    // The full path of the file at index; the last entry is empty.
    std::filesystem::path operator[](std::size_t index) const;
    // For every entry but the last.
    const File& FileAt(std::size_t index) const { return files_[index]; }
    std::size_t FileCount() const { return files_.size(); }

    FolderTable& Folders() { return folders_; }
    const FolderTable& Folders() const { return folders_; }
    void Add(std::uint32_t folder, EntryName name) { files_.push_back({folder, std::move(name)}); }

    // Every entry as a path.
    std::vector<std::filesystem::path> Paths() const;

private:
    FolderTable folders_;
    std::vector<File> files_;
};

} // namespace velnor
