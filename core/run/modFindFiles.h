#pragma once

#include "core/files/folder_handle.h"
#include "core/files/tree_walk.h"
#include "core/run/found_files.h"
#include "core/run/window_seam.h"

namespace velnor {

// The file search: every file under a folder, depth first, a folder's own
// files after those of its subfolders, reached through the folder's handle.
// The program's own temporary files and folders are left out, and removed on
// the way when the rules ask (only a run that holds the folder's lock may
// ask); so is the folder the rules leave out ("/.bak" of "/").
class modFindFiles {
public:
    explicit modFindFiles(WindowSeam& window) : window_(window) {}

    // What the scan removes is added to removed as it goes.
    void FindFiles(FolderHandle& folder, const WalkRules& rules, Leftovers& removed);

    // The last completed scan.
    const FoundFileList& FoundFiles() const { return FoundFiles_; }

private:
    WindowSeam& window_;
    FoundFileList FoundList; // the scan under way
    FoundFileList FoundFiles_;
};

} // namespace velnor
