#pragma once

#include "core/files/file_system.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace velnor {

// The kinds of low-level call, so that a test can make the Nth call of one kind fail.
enum class FileOpKind {
    OpenPath,
    OpenAt,
    OpenUnnamed,
    LinkUnnamed,
    Close,
    Read,
    Write,
    Fsync,
    Fstat,
    StatAt,
    Fchmod,
    Fchown,
    Rename,
    Unlink,
    Mkdir,
    ListFolder,
    Symlink,
    Readlink,
    SetAttribute,
};

struct FolderEntry {
    std::filesystem::path::string_type Name; // the exact bytes of the name
    EntryKind Kind = EntryKind::Other;       // as lstat sees it, links never followed
};

// The system calls the file layer is made of. Besides the first look and the
// first open of a path the user gave, every call names one entry of an open
// folder (a descriptor) or works on an open file. Every call returns 0 on
// success or the errno value of its failure and never throws; the layer turns
// failures into FileSystemError. A test wraps the real calls to fail some of
// them. A run's page writer makes calls from several threads at once.
class FileOps {
public:
    using Path = std::filesystem::path;

    virtual ~FileOps() = default;

    // The user's path, links on the way followed.
    virtual int StatPath(const Path& path, struct stat& info) = 0;
    virtual int OpenPath(const Path& path, int flags, int& fd) = 0;

    // name in the open folder folderFd; ".." is its parent.
    virtual int OpenAt(int folderFd, const Path& name, int flags, mode_t mode, int& fd) = 0;
    // name's status, a link as itself.
    virtual int StatAt(int folderFd, const Path& name, struct stat& info) = 0;
    // A file without a name in the folder (O_TMPFILE): nothing is left of it if
    // the process dies before it is linked. EOPNOTSUPP where the file system has none.
    virtual int OpenUnnamed(int folderFd, mode_t mode, int& fd) = 0;
    // Gives a file from OpenUnnamed the name, which must be free.
    virtual int LinkUnnamed(int fd, int folderFd, const Path& name) = 0;
    virtual int Close(int fd) = 0; // the descriptor is released even when it fails
    virtual int ReadAt(int fd, char* buffer, std::size_t size, off_t offset,
                       std::size_t& got) = 0; // 0 at end
    virtual int WriteAt(int fd, const char* data, std::size_t size, off_t offset,
                        std::size_t& written) = 0;
    virtual int Fsync(int fd) = 0;
    virtual int Fstat(int fd, struct stat& info) = 0;
    virtual int Fchmod(int fd, mode_t mode) = 0;
    virtual int Fchown(int fd, uid_t owner, gid_t group) = 0;
    // Renames within the folder; without replace it fails if anything is at
    // to (where the file system cannot tell, it looks first).
    virtual int RenameAt(int folderFd, const Path& from, const Path& to, bool replace) = 0;
    // A file or link, or with folder an empty folder.
    virtual int UnlinkAt(int folderFd, const Path& name, bool folder) = 0;
    virtual int MkdirAt(int folderFd, const Path& name, mode_t mode) = 0;
    // Every entry of the open folder but "." and "..", in the order the system gives them.
    virtual int ListFolder(int folderFd, std::vector<FolderEntry>& entries) = 0;
    virtual int SymlinkAt(const Path& target, int folderFd, const Path& name) = 0;
    virtual int ReadlinkAt(int folderFd, const Path& name, Path& target) = 0;
    virtual int Flock(int fd, int operation) = 0;
    // Whether the effective user may do mode (W_OK...) on name, links not followed.
    virtual int AccessAt(int folderFd, const Path& name, int mode) = 0;
    virtual int Seek(int fd, off_t offset, int whence, off_t& result) = 0;
    virtual int Truncate(int fd, off_t length) = 0;
    // Extended attributes of an open file or folder: names and values are bytes.
    virtual int ListAttributes(int fd, std::vector<std::string>& names) = 0;
    virtual int GetAttribute(int fd, const std::string& name, std::string& value) = 0;
    virtual int SetAttribute(int fd, const std::string& name, const std::string& value) = 0;
    virtual int RemoveAttribute(int fd, const std::string& name) = 0;
};

// What a file of that mode is.
EntryKind KindOfMode(mode_t mode);

// The real calls (POSIX).
std::shared_ptr<FileOps> MakePosixFileOps();

} // namespace velnor
