#include "core/files/folder_table.h"

#include <stdexcept>
#include <utility>

namespace velnor {

std::uint32_t FolderTable::Add(std::uint32_t parent, EntryName name) {
    if (folders_.size() + 1 >= UINT32_MAX)
        throw std::length_error("more folders than a run can hold");
    folders_.push_back({parent, std::move(name)});
    return static_cast<std::uint32_t>(folders_.size());
}

std::filesystem::path FolderTable::PathOf(std::uint32_t folder) const {
    std::vector<const EntryName*> names;
    for (std::uint32_t at = folder; at != Root; at = Parent(at))
        names.push_back(&Name(at));
    std::filesystem::path path = root_;
    for (auto name = names.rbegin(); name != names.rend(); ++name)
        path /= **name;
    return path;
}

} // namespace velnor
