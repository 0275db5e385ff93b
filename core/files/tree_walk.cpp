#include "core/files/tree_walk.h"

#include "core/files/temp_name.h"

#include <algorithm>
#include <unordered_set>

namespace velnor {
namespace {

struct FolderIdHash {
    std::size_t operator()(const FolderId& id) const {
        return std::hash<std::uint64_t>{}(id.index * 31 + id.volume);
    }
};

// Takes the program's own temporary entries out of a listing, removing them
// from the folder too when asked.
void SetAsideTemporary(FolderHandle& folder, std::vector<Entry>& entries, bool remove,
                       Leftovers& removed) {
    std::erase_if(entries, [&](const Entry& entry) {
        if (!IsTempName(entry.name))
            return false;
        if (!remove)
            return true;
        switch (entry.kind) {
        case EntryKind::File:
        case EntryKind::Link:
            removed.files += folder.RemoveFile(entry.name) ? 1 : 0;
            break;
        case EntryKind::Folder:
            removed.filesInCopies += RemoveTree(folder, entry.name);
            ++removed.copies;
            break;
        case EntryKind::Missing:
        case EntryKind::Other:
            break; // the program never makes pipes or devices
        }
        return true;
    });
}

class Walker {
public:
    Walker(const WalkRules& rules, FolderTable& table, const FileVisit& visit, Leftovers& removed)
        : rules_(rules), table_(table), visit_(visit), removed_(removed) {}

    void Walk(FolderHandle& root) {
        seen_.insert(root.Identity());
        Walk(root, FolderTable::Root);
    }

private:
    void Walk(FolderHandle& folder, std::uint32_t index) {
        std::vector<Entry> entries = SortedEntries(folder);
        SetAsideTemporary(folder, entries, rules_.removeLeftovers, removed_);
        for (const Entry& entry : entries) {
            if (entry.kind != EntryKind::Folder)
                continue;
            const std::unique_ptr<FolderHandle> sub =
                folder.OpenFolder(entry.name, folder.PathOf(entry.name));
            const FolderId id = sub->Identity();
            if (id == rules_.leaveOut || !seen_.insert(id).second)
                continue;
            Walk(*sub, table_.Add(index, entry.name));
        }
        for (const Entry& entry : entries)
            if (entry.kind == EntryKind::File)
                visit_(index, entry.name);
    }

    const WalkRules& rules_;
    FolderTable& table_;
    const FileVisit& visit_;
    Leftovers& removed_;
    std::unordered_set<FolderId, FolderIdHash> seen_;
};

} // namespace

std::vector<Entry> SortedEntries(FolderHandle& folder) {
    std::vector<Entry> entries = folder.List();
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}

Leftovers& Leftovers::operator+=(const Leftovers& more) {
    files += more.files;
    copies += more.copies;
    filesInCopies += more.filesInCopies;
    return *this;
}

std::uint64_t RemoveTree(FolderHandle& folder, const EntryName& name) {
    const EntryInfo info = folder.Info(name);
    if (info.kind == EntryKind::Missing)
        return 0;
    if (info.kind != EntryKind::Folder)
        return folder.RemoveFile(name) ? 1 : 0;
    std::uint64_t removed = 0;
    {
        const std::unique_ptr<FolderHandle> sub = folder.OpenFolder(name, folder.PathOf(name));
        sub->PrepareToFill(); // a copy of a read-only folder must be emptied too
        for (const Entry& entry : sub->List())
            removed += RemoveTree(*sub, entry.name);
    }
    folder.RemoveFolder(name);
    return removed;
}

Leftovers RemoveUnfinishedCopies(FolderHandle& folder, const EntryName& target) {
    Leftovers removed;
    std::vector<Entry> entries;
    try {
        entries = folder.List();
    } catch (const FileSystemError&) {
        return removed; // a folder that may be written but not listed keeps them
    }
    for (const Entry& entry : entries) {
        if (entry.kind == EntryKind::Folder && IsTempNameOf(entry.name, target)) {
            removed.filesInCopies += RemoveTree(folder, entry.name);
            ++removed.copies;
        }
    }
    return removed;
}

Leftovers SweepTree(FolderHandle& root, std::optional<FolderId> leaveOut) {
    FolderTable folders;
    Leftovers removed;
    WalkTree(
        root, {.removeLeftovers = true, .leaveOut = leaveOut}, folders,
        [](std::uint32_t, const EntryName&) {}, removed);
    return removed;
}

void WalkTree(FolderHandle& root, const WalkRules& rules, FolderTable& table,
              const FileVisit& visit, Leftovers& removed) {
    Walker(rules, table, visit, removed).Walk(root);
}

} // namespace velnor
