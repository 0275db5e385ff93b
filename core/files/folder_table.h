#pragma once

#include "core/files/folder_handle.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <utility>
#include <vector>

namespace velnor {

// The folders of a tree as a walk found them: each by the index of the
// folder it lies in and its name, the walked folder itself first. Small
// enough for trees of many thousands of folders; a path is made only when
// one is asked for.
class FolderTable {
public:
    static constexpr std::uint32_t Root = 0;

    explicit FolderTable(std::filesystem::path root = {}) : root_(std::move(root)) {}

    std::uint32_t Add(std::uint32_t parent, EntryName name);
    std::uint32_t Parent(std::uint32_t folder) const { return folders_[folder - 1].parent; }
    const EntryName& Name(std::uint32_t folder) const { return folders_[folder - 1].name; }
    std::size_t Size() const { return folders_.size() + 1; }

    // The folder's path as the user knows it.
    std::filesystem::path PathOf(std::uint32_t folder) const;
    const std::filesystem::path& RootPath() const { return root_; }

private:
    struct Folder {
        std::uint32_t parent;
        EntryName name;
    };

    std::filesystem::path root_;
    std::vector<Folder> folders_; // folder i + 1; the root has no entry
};

} // namespace velnor
