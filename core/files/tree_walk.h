#pragma once

#include "core/files/folder_handle.h"
#include "core/files/folder_table.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace velnor {

// A folder's entries in the order of their names (bytes, or UTF-16 units on
// Windows), so that every run goes alike.
std::vector<Entry> SortedEntries(FolderHandle& folder);

// What the program removed of what an interrupted run, restore or backup had
// left: its temporary files and links, and unfinished copies of a folder
// (a backup or a restored folder that was still being made) with the files
// in them.
struct Leftovers {
    std::uint64_t files = 0;
    std::uint64_t copies = 0;
    std::uint64_t filesInCopies = 0;

    Leftovers& operator+=(const Leftovers& more);
    bool operator==(const Leftovers&) const = default;
};

// Removes the entry name of folder and, for a folder, everything in it,
// links as themselves; returns the files and links it removed. Only for what
// the program made itself.
std::uint64_t RemoveTree(FolderHandle& folder, const EntryName& name);

// Removes the unfinished copies of a target that lie beside it in folder.
// Only for one whose folder's lock the caller holds (so no copy of it can be
// under way now).
Leftovers RemoveUnfinishedCopies(FolderHandle& folder, const EntryName& target);

struct WalkRules {
    // The program's own temporary entries are removed on the way; only a
    // holder of the folder's lock may ask.
    bool removeLeftovers = false;
    // A folder left out with all in it: the backup that lies inside a root.
    std::optional<FolderId> leaveOut;
};

// Removes the program's own temporary entries anywhere below root but in the
// folder left out; only for one whose lock the caller holds.
Leftovers SweepTree(FolderHandle& root, std::optional<FolderId> leaveOut);

// Called with each file: its folder's index in the table and its name.
using FileVisit = std::function<void(std::uint32_t folder, const EntryName& name)>;

// Walks the tree below root through handles, depth first: a folder's
// subfolders, each finished before the next, then its files, both in name
// order, each file given to visit with its folder's index in table (which
// gets every folder walked). Links, devices and pipes are passed over, and so
// are the program's own temporary entries. A folder met before under another
// name (a bind mount) is walked once. What it removes is added to removed as
// it goes, so that a walk that fails still tells.
void WalkTree(FolderHandle& root, const WalkRules& rules, FolderTable& table,
              const FileVisit& visit, Leftovers& removed);

} // namespace velnor
