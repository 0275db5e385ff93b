#pragma once

#include "core/files/folder_handle.h"

#include <functional>
#include <memory>

namespace velnor {

// New content for an entry of a folder: a file made beside it, without a
// name where the system allows (so a killed process leaves nothing) or
// under a temporary one, and renamed over it once complete. Dropped before
// that, it leaves nothing beside the entry. Errors name the entry.
class Replacement {
public:
    // isPrivate: open to its owner alone until it is given attributes.
    Replacement(FolderHandle& folder, EntryName name, bool isPrivate);
    ~Replacement();
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    NewFile& File() { return *file_; }
    // Names the content and renames it over the entry; beforeRename may
    // refuse at the last moment by throwing. On failure the entry is as it
    // was and the content gone.
    void PutInPlace(const std::function<void()>& beforeRename = {});

private:
    void Discard() noexcept;

    FolderHandle& folder_;
    EntryName name_;
    std::unique_ptr<NewFile> file_; // open until it is put in place
    EntryName temp_;                // empty while the content has no name
};

// Makes an entry under a fresh temporary name for target, trying names until
// make (which answers false for a name that is taken) takes one; returns it.
EntryName MakeTemporary(const FolderHandle& folder, const EntryName& target,
                        const std::function<bool(const EntryName&)>& make);

} // namespace velnor
