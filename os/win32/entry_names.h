#pragma once

#include "os/win32/windows_api.h"

#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

namespace velnor {

// Tells whether what was opened by name in a folder is that entry itself.
// Windows opens a link as itself when asked to (FILE_OPEN_REPARSE_POINT). Wine
// follows a Linux symbolic link whatever it is asked, and then reads, renames
// or removes what the link leads to; the name Wine gives what was opened, the
// link's target, gives it away: the entry itself bears its own name in the
// folder.
class EntryNames {
public:
    EntryNames(HANDLE folder, std::filesystem::path folderShown)
        : folder_(folder), folderShown_(std::move(folderShown)) {}

    // Errors name shown. Under Wine a folder whose name no longer leads to it
    // (one above it was renamed or replaced since it was opened) can no
    // longer tell links from files: that ends the work in it (FolderMoved).
    bool IsItself(HANDLE entry, std::wstring_view name, const std::filesystem::path& shown);

private:
    bool IsFolder(const std::wstring& name);

    HANDLE folder_;
    std::filesystem::path folderShown_;
    std::mutex mutex_;
    // The folder's name when last found; Wine leaves the name of a handle as
    // it was when a folder above was renamed, so a folder moved since is
    // found again by its identity.
    std::wstring folderName_;
};

} // namespace velnor
