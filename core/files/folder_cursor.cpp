#include "core/files/folder_cursor.h"

#include <algorithm>

namespace velnor {

FolderCursor::FolderCursor(std::shared_ptr<FolderHandle> root, const FolderTable& table)
    : table_(table) {
    open_.emplace_back(FolderTable::Root, std::move(root));
}

const std::shared_ptr<FolderHandle>& FolderCursor::Reach(std::uint32_t folder) {
    std::vector<std::uint32_t> way; // from the folder up, the root left out
    for (std::uint32_t at = folder; at != FolderTable::Root; at = table_.Parent(at))
        way.push_back(at);
    std::reverse(way.begin(), way.end());
    std::size_t kept = 1;
    while (kept < open_.size() && kept - 1 < way.size() && open_[kept].first == way[kept - 1])
        ++kept;
    open_.resize(kept);
    for (std::size_t step = kept - 1; step < way.size(); ++step) {
        FolderHandle& parent = *open_.back().second;
        const EntryName& name = table_.Name(way[step]);
        open_.emplace_back(way[step], parent.OpenFolder(name, parent.PathOf(name)));
    }
    return open_.back().second;
}

} // namespace velnor
