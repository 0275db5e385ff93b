#pragma once

#include "core/files/folder_handle.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace velnor {

// A page's bytes and the stamp of the file they were read from.
struct PageBytes {
    std::string bytes;
    FileStamp stamp;
};

// The page's bytes and stamp. Refuses, before reading, a link, anything but a
// regular file (without waiting on a pipe) and a page larger than maxBytes;
// never reads more than the size it found.
PageBytes ReadPage(FolderHandle& folder, const EntryName& name, std::uint64_t maxBytes);

// A page replacement in two steps, so that the slow one can run on another
// thread while the run goes on: Prepare writes the new content beside the page
// and flushes it to disk, Commit puts it in the page's place. Dropped without
// Commit, it leaves the page as it was and nothing beside it. Ending one after
// its Commit lets go of the page's old content, which may wait on the disk; it
// may end on any thread.
class PendingReplace {
public:
    virtual ~PendingReplace() = default;
    // On any thread, alongside other calls of the file layer.
    virtual void Prepare() = 0;
    // On the thread that started the replacement, after Prepare succeeded.
    virtual void Commit() = 0;
};

// Replaces the pages of one run, never leaving one missing or half-written.
// A page changed by another program since it was read stays as that program
// left it (a gone page is not made again); the run's own replacement of
// another name of the same file (a hard link) is no such change.
class PageReplacer {
public:
    // Refused here, before anything is written: a page changed or gone since
    // it was read with that stamp, a read-only page, one the running user may
    // not write, one whose owner or access-limiting attributes could not be
    // kept. The replacement keeps the page's permissions, owner, group and
    // extended attributes (on Windows its attributes, owner and access list).
    std::unique_ptr<PendingReplace> Start(std::shared_ptr<FolderHandle> folder, EntryName name,
                                          const FileStamp& read, std::string bytes);
    // Makes every replacement so far last through a crash. A page is whole
    // either way; this keeps a finished run from coming back undone.
    void Flush();

private:
    friend class PageReplace;

    // Whether the page is still the one read, but for the run's own changes.
    bool Unchanged(const FileStamp& read, const FileStamp& now) const;
    // Before a replacement in folder: the folder of the ones before is
    // flushed when the run moves on from it.
    void Entering(const std::shared_ptr<FolderHandle>& folder);
    // After the page's name in folder went to its replacement: the folder
    // is to be flushed, and the old file, still named elsewhere, changed only
    // by the run.
    void Replaced(const std::shared_ptr<FolderHandle>& folder, const EntryInfo& before,
                  HeldPage& held);

    std::shared_ptr<FolderHandle> unflushed_; // holds renames not yet flushed
    // For each file the run took a name from, its change times before and
    // after, in order.
    std::map<std::pair<std::uint64_t, std::uint64_t>,
             std::vector<std::pair<std::int64_t, std::int64_t>>>
        ownChanges_;
};

} // namespace velnor
