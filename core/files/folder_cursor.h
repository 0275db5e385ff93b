#pragma once

#include "core/files/folder_handle.h"
#include "core/files/folder_table.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace velnor {

// Reaches the folders of a table from its open root one name at a time,
// never through a link, keeping the handles of the folders on the way: a
// walk in the table's order opens each folder once.
class FolderCursor {
public:
    FolderCursor(std::shared_ptr<FolderHandle> root, const FolderTable& table);

    const std::shared_ptr<FolderHandle>& Reach(std::uint32_t folder);

private:
    const FolderTable& table_;
    std::vector<std::pair<std::uint32_t, std::shared_ptr<FolderHandle>>> open_; // root first
};

} // namespace velnor
