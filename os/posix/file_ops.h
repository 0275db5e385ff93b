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
    Open,
    OpenUnnamed,
    LinkUnnamed,
    Close,
    Read,
    Write,
    Fsync,
    Fstat,
    Stat,
    Lstat,
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

// The system calls the file system service is made of. Every call returns 0 on
// success or the errno value of its failure and never throws; the service turns
// failures into FileSystemError. A test wraps the real calls to fail some of them.
// A run's page writer makes calls from several threads at once.
class FileOps {
public:
    using Path = std::filesystem::path;

    virtual ~FileOps() = default;

    virtual int Open(const Path& path, int flags, mode_t mode, int& fd) = 0;
    // Opens name relative to the open folder folderFd ("..": its parent).
    virtual int OpenAt(int folderFd, const Path& name, int flags, int& fd) = 0;
    // A file without a name in folder (O_TMPFILE): nothing is left of it if the
    // process dies before it is linked. EOPNOTSUPP where the file system has none.
    virtual int OpenUnnamed(const Path& folder, mode_t mode, int& fd) = 0;
    // Gives a file from OpenUnnamed a name, which must be free.
    virtual int LinkUnnamed(int fd, const Path& path) = 0;
    virtual int Close(int fd) = 0; // the descriptor is released even when it fails
    virtual int Read(int fd, char* buffer, std::size_t size, std::size_t& got) = 0; // 0 at end
    virtual int Write(int fd, const char* data, std::size_t size, std::size_t& written) = 0;
    virtual int Fsync(int fd) = 0;
    virtual int Fstat(int fd, struct stat& info) = 0;
    virtual int Stat(const Path& path, struct stat& info) = 0; // follows links
    virtual int Lstat(const Path& path, struct stat& info) = 0;
    virtual int Fchmod(int fd, mode_t mode) = 0;
    virtual int Fchown(int fd, uid_t owner, gid_t group) = 0;
    virtual int Rename(const Path& from, const Path& to) = 0;
    virtual int Unlink(const Path& path) = 0;
    virtual int Mkdir(const Path& path, mode_t mode) = 0;
    // Every entry but "." and "..", in the order the system gives them.
    virtual int ListFolder(const Path& path, std::vector<FolderEntry>& entries) = 0;
    virtual int Symlink(const Path& target, const Path& link) = 0;
    virtual int Readlink(const Path& path, Path& target) = 0;
    // Fails if anything is at to; where the file system cannot tell, looks first.
    virtual int RenameNoReplace(const Path& from, const Path& to) = 0;
    virtual int RemoveFolder(const Path& path) = 0; // an empty one
    virtual int Flock(int fd, int operation) = 0;
    // Whether the effective user may do mode (W_OK...) on path, links not followed.
    virtual int Access(const Path& path, int mode) = 0;
    virtual int Seek(int fd, off_t offset, int whence, off_t& result) = 0;
    virtual int Truncate(int fd, off_t length) = 0;
    // Extended attributes, links not followed: names and values are bytes.
    virtual int ListAttributes(const Path& path, std::vector<std::string>& names) = 0;
    virtual int GetAttribute(const Path& path, const std::string& name, std::string& value) = 0;
    virtual int SetAttribute(int fd, const std::string& name, const std::string& value) = 0;
    virtual int RemoveAttribute(int fd, const std::string& name) = 0;
};

// What a file of that mode is.
EntryKind KindOfMode(mode_t mode);

// The real calls (POSIX).
std::shared_ptr<FileOps> MakePosixFileOps();

} // namespace velnor
