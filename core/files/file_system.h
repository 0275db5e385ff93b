#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velnor {

// A failure of the file system, described in the operating system's words.
class FileSystemError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A folder that another run or restore holds, in this process or another.
class FolderBusy : public FileSystemError {
public:
    using FileSystemError::FileSystemError;
};

// What a path names, links never followed (a Windows junction is a Link).
enum class EntryKind { Missing, Folder, File, Link, Other };

// Who a file is and when it last changed, as the system counts them: equal
// stamps mean the file was not written, replaced or renamed over in between.
struct FileStamp {
    std::uint64_t device = 0; // the volume
    std::uint64_t inode = 0;  // the file on it
    std::uint64_t size = 0;
    std::int64_t modified = 0; // content, in nanoseconds
    std::int64_t changed = 0;  // content or attributes, in nanoseconds
    bool operator==(const FileStamp&) const = default;
};

// A page's bytes and the stamp of the file they were read from.
struct PageBytes {
    std::string bytes;
    FileStamp stamp;
};

// Held while a run or restore works on a folder; released when destroyed and
// by the system when the process dies. Leaves nothing on disk.
class FolderLock {
public:
    virtual ~FolderLock() = default;
};

struct FolderItem {
    std::filesystem::path Path; // full path
};

class Folder {
public:
    virtual ~Folder() = default;
    // Sorted by name, so runs are repeatable. Symbolic links are not listed.
    virtual std::vector<FolderItem> SubFolders() const = 0;
    virtual std::vector<FolderItem> Files() const = 0;
};

// A folder as it was listed once.
class ListedFolder : public Folder {
public:
    ListedFolder(std::vector<FolderItem> subFolders, std::vector<FolderItem> files)
        : subFolders_(std::move(subFolders)), files_(std::move(files)) {}

    std::vector<FolderItem> SubFolders() const override { return subFolders_; }
    std::vector<FolderItem> Files() const override { return files_; }

private:
    std::vector<FolderItem> subFolders_;
    std::vector<FolderItem> files_;
};

// A page replacement in two steps, so that the slow one can run on another
// thread while the run goes on: Prepare writes the new content beside the page
// and flushes it to disk, Commit puts it in the page's place. Dropped without
// Commit, it leaves the page as it was and nothing beside it. Ending one after
// its Commit lets go of the page's old content, which may wait on the disk; it
// may end on any thread.
class PendingReplace {
public:
    virtual ~PendingReplace() = default;
    // On any thread, alongside other calls of the service.
    virtual void Prepare() = 0;
    // On the thread that started the replacement, after Prepare succeeded.
    virtual void Commit() = 0;
};

// Files and bytes copied so far, after each file.
using CopyProgress = std::function<void(std::uint64_t files, std::uint64_t bytes)>;

// The run's one way to the system's files; the POSIX and the Windows layers
// each implement it. Every failure throws FileSystemError with the system's
// words and the path shown by DisplayPath.
class FileSystemService {
public:
    virtual ~FileSystemService() = default;

    // True exactly when a folder is there; a link to a folder counts.
    virtual bool FolderExists(const std::filesystem::path& path) = 0;
    virtual EntryKind KindOf(const std::filesystem::path& path) = 0;
    // Whether inner is outer or lies inside it, judged by the system's identity
    // of folders (device and inode; volume and file index), each path resolved
    // as the system resolves it. Both must be folders.
    virtual bool IsWithin(const std::filesystem::path& inner,
                          const std::filesystem::path& outer) = 0;
    // Takes the folder for this run alone: conflicts with any other holder of
    // the folder, of a folder inside it or of one around it, in this process
    // or another; folders side by side do not conflict. Throws FolderBusy at
    // once instead of waiting.
    virtual std::unique_ptr<FolderLock> LockFolder(const std::filesystem::path& folder) = 0;

    // Afterwards the destination (created if missing; never a link) holds
    // every file and subfolder of the source with their attributes, same-named
    // files overwritten, its other files kept. The program's own temporary
    // files are not copied; links are copied as links, never followed.
    virtual void CopyFolder(const std::filesystem::path& source,
                            const std::filesystem::path& destination, bool overwrite,
                            const CopyProgress& progress) = 0;
    // Renames a folder; fails if anything is at `to`, a link included.
    virtual void RenameFolder(const std::filesystem::path& from,
                              const std::filesystem::path& to) = 0;
    // Removes a tree the program made itself; links are removed, never followed.
    virtual void RemoveTree(const std::filesystem::path& path) = 0;
    // Removes the program's own temporary files (IsTempName) left directly in
    // folder by a run that died: regular files only. Returns how many. Only
    // for a folder whose lock the caller holds.
    virtual std::uint64_t RemoveLeftovers(const std::filesystem::path& folder) = 0;
    virtual std::unique_ptr<Folder> GetFolder(const std::filesystem::path& path) = 0;

    // The page's bytes and stamp. Refuses, before reading, a link, anything
    // but a regular file (without waiting on a pipe) and a page larger than
    // maxBytes; never reads more than the size it found.
    virtual PageBytes ReadPage(const std::filesystem::path& page, std::uint64_t maxBytes) = 0;
    // Replaces the page read with that stamp. Never leaves the page missing or
    // half-written. Refused before anything is written when the page is
    // read-only, the running user may not write it, its owner or an
    // access-limiting attribute (an ACL) could not be kept, or it changed
    // since: then, and when it changes or goes at the last moment, the page
    // stays as it is and a gone page is not made again. The replacement keeps
    // the page's permissions, owner, group and extended attributes. The
    // page's folder entry lasts through a crash once the next Flush() returns.
    virtual void ReplaceFile(const std::filesystem::path& page, const FileStamp& read,
                             std::string_view bytes) = 0;
    // ReplaceFile in two steps; what is refused is refused here, before
    // anything is written. By default the whole replacement is done at Commit.
    virtual std::unique_ptr<PendingReplace> StartReplace(const std::filesystem::path& page,
                                                         const FileStamp& read, std::string bytes);
    // Makes every replacement so far last through a crash. A page is whole
    // either way; this keeps a finished run from coming back undone.
    virtual void Flush() {}
};

using FileSystemFactory = std::function<std::shared_ptr<FileSystemService>()>;

// The real file system; from the OS layer.
std::shared_ptr<FileSystemService> MakeFileSystem();

// The errors every file layer words alike.
FileSystemError PageTooLarge(const std::filesystem::path& page, std::uint64_t maxBytes);
FileSystemError PageChanged(const std::filesystem::path& page);
FileSystemError PageGone(const std::filesystem::path& page);
FileSystemError NotOrdinaryFile(const std::filesystem::path& path);
FileSystemError LinkRefused(const std::filesystem::path& path);
FolderBusy FolderInUse(const std::filesystem::path& folder);

} // namespace velnor
