#pragma once

#include "core/files/folder_handle.h"

#include <filesystem>
#include <memory>

namespace velnor {

// The folder a user named and the folder its name lies in, each opened once
// from the path as the system resolves it; everything in them is reached
// through these handles from then on. A root (of a drive or of the file
// system) stands alone.
struct UserFolder {
    std::shared_ptr<FolderHandle> folder; // none while it is missing
    std::unique_ptr<FolderHandle> parent; // none for a root
    EntryName name;                       // in parent
    std::filesystem::path path;           // as the user knows it

    // Where a sibling named after it lies: beside it, or inside a root.
    FolderHandle& Around() const { return parent ? *parent : *folder; }
    // The name of that sibling: the folder's own name and `suffix`.
    EntryName Sibling(const EntryName& suffix) const { return name + suffix; }
};

// Throws when the folder around cannot be opened, and for a folder that is
// there but cannot be opened.
UserFolder OpenUserFolder(FileSystemService& fileSys, const std::filesystem::path& path);

// Throws when the user's path no longer leads to the folder opened: another
// program moved it, or put something else in its place.
void CheckStillThere(FileSystemService& fileSys, const UserFolder& folder);

} // namespace velnor
