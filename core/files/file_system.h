#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

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

// What a name leads to, links never followed (a Windows junction is a Link).
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

// Who a folder is: two handles of one identity are one folder, whatever their
// names (a bind mount, a junction).
struct FolderId {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FolderId&) const = default;
};

// Held while a run or restore works on a folder; released when destroyed and
// by the system when the process dies. Leaves nothing on disk.
class FolderLock {
public:
    virtual ~FolderLock() = default;
};

class FolderHandle;

// The run's one way to the system's files; the POSIX and the Windows layers
// each implement it. A path the user gave is looked up here, once; everything
// below a folder so opened is reached through its handle, one name at a
// time, never through a path again. Every failure throws FileSystemError
// with the system's words and the path as the user knows it.
class FileSystemService {
public:
    virtual ~FileSystemService() = default;

    // True exactly when a folder is there; a link to a folder counts.
    virtual bool FolderExists(const std::filesystem::path& path) = 0;
    // The folder at path, links on the way followed as the system resolves
    // the user's path; shown as path in messages.
    virtual std::unique_ptr<FolderHandle> OpenFolder(const std::filesystem::path& path) = 0;
};

using FileSystemFactory = std::function<std::shared_ptr<FileSystemService>()>;

// The real file system; from the OS layer.
std::shared_ptr<FileSystemService> MakeFileSystem();

// The errors every file layer words alike.
FileSystemError PageTooLarge(const std::filesystem::path& page, std::uint64_t maxBytes);
FileSystemError PageChanged(const std::filesystem::path& page);
FileSystemError PageGone(const std::filesystem::path& page);
FileSystemError NotOrdinaryFile(const std::filesystem::path& path);
FileSystemError NotAFolder(const std::filesystem::path& path);
FileSystemError LinkRefused(const std::filesystem::path& path);
FileSystemError FolderMoved(const std::filesystem::path& folder);
FolderBusy FolderInUse(const std::filesystem::path& folder);

} // namespace velnor
