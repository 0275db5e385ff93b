#include "os/posix/file_ops.h"
#include "os/posix/interrupted.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace velnor {
namespace {

// Runs a call that answers a length or -1, again with room for a result that
// grew in between; fills buffer with the result.
template <typename Call> int GrowingCall(std::string& buffer, Call call) {
    std::size_t size = 256;
    while (true) {
        buffer.resize(size);
        ssize_t length = 0;
        const int error = RetryInterrupted([&] { return length = call(buffer.data(), size); });
        if (error == 0) {
            buffer.resize(static_cast<std::size_t>(length));
            return 0;
        }
        if (error != ERANGE || size >= (1 << 24)) {
            return error;
        }
        size *= 4;
    }
}

int ReadEntries(DIR* dir, std::vector<FolderEntry>& entries) {
    while (true) {
        errno = 0;
        const dirent* entry = readdir(dir);
        if (entry == nullptr) {
            return errno;
        }
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        FolderEntry item{entry->d_name, EntryKind::Other};
        switch (entry->d_type) {
        case DT_DIR:
            item.Kind = EntryKind::Folder;
            break;
        case DT_REG:
            item.Kind = EntryKind::File;
            break;
        case DT_LNK:
            item.Kind = EntryKind::Link;
            break;
        case DT_UNKNOWN: {
            // some file systems do not fill d_type
            struct stat info {};
            if (fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
                return errno;
            }
            item.Kind = KindOfMode(info.st_mode);
            break;
        }
        default:
            break;
        }
        entries.push_back(std::move(item));
    }
}

class PosixFileOps : public FileOps {
public:
    // The two calls on a path, safe as such: the user's folder (and its
    // parent) is looked up once, as the system resolves what the user named;
    // its identity is then checked on the descriptor, and everything below it
    // is reached through that descriptor, never by path again.
    int StatPath(const Path& path, struct stat& info) override {
        // Safe by path: the user's own folder, looked up once (see above).
        return RetryInterrupted([&] { return ::stat(path.c_str(), &info); });
    }
    int OpenPath(const Path& path, int flags, int& fd) override {
        // Safe by path: the user's own folder, opened once (see above).
        return RetryInterrupted([&] { return fd = ::open(path.c_str(), flags | O_CLOEXEC); });
    }

    int OpenAt(int folderFd, const Path& name, int flags, mode_t mode, int& fd) override {
        return RetryInterrupted(
            [&] { return fd = ::openat(folderFd, name.c_str(), flags | O_CLOEXEC, mode); });
    }
    int StatAt(int folderFd, const Path& name, struct stat& info) override {
        return RetryInterrupted(
            [&] { return ::fstatat(folderFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW); });
    }
    int OpenUnnamed(int folderFd, mode_t mode, int& fd) override {
        const int error = RetryInterrupted(
            [&] { return fd = ::openat(folderFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode); });
        // kernels without O_TMPFILE take it for O_DIRECTORY and answer EISDIR
        return error == EISDIR ? EOPNOTSUPP : error;
    }
    int LinkUnnamed(int fd, int folderFd, const Path& name) override {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        const int error = RetryInterrupted([&] {
            return ::linkat(AT_FDCWD, self.c_str(), folderFd, name.c_str(), AT_SYMLINK_FOLLOW);
        });
        if (error != ENOENT) {
            return error;
        }
        // without /proc: needs CAP_DAC_READ_SEARCH, as root has
        return RetryInterrupted(
            [&] { return ::linkat(fd, "", folderFd, name.c_str(), AT_EMPTY_PATH); });
    }
    int Close(int fd) override {
        // no retry: Linux releases the descriptor even when close reports EINTR
        return ::close(fd) == 0 ? 0 : errno;
    }
    int ReadAt(int fd, char* buffer, std::size_t size, off_t offset, std::size_t& got) override {
        ssize_t count = 0;
        const int error =
            RetryInterrupted([&] { return count = ::pread(fd, buffer, size, offset); });
        got = error == 0 ? static_cast<std::size_t>(count) : 0;
        return error;
    }
    int WriteAt(int fd, const char* data, std::size_t size, off_t offset,
                std::size_t& written) override {
        ssize_t count = 0;
        const int error =
            RetryInterrupted([&] { return count = ::pwrite(fd, data, size, offset); });
        written = error == 0 ? static_cast<std::size_t>(count) : 0;
        return error;
    }
    int Fsync(int fd) override {
        return RetryInterrupted([&] { return ::fsync(fd); });
    }
    int Fstat(int fd, struct stat& info) override {
        return RetryInterrupted([&] { return ::fstat(fd, &info); });
    }
    int Fchmod(int fd, mode_t mode) override {
        return RetryInterrupted([&] { return ::fchmod(fd, mode); });
    }
    int Fchown(int fd, uid_t owner, gid_t group) override {
        return RetryInterrupted([&] { return ::fchown(fd, owner, group); });
    }
    int RenameAt(int folderFd, const Path& from, const Path& to, bool replace) override {
        if (replace) {
            return RetryInterrupted(
                [&] { return ::renameat(folderFd, from.c_str(), folderFd, to.c_str()); });
        }
        const int error = RetryInterrupted([&] {
            return ::renameat2(folderFd, from.c_str(), folderFd, to.c_str(), RENAME_NOREPLACE);
        });
        if (error != EINVAL && error != ENOSYS) {
            return error;
        }
        // a file system without the flag: a small window, but nothing there now
        struct stat info {};
        const int looked = StatAt(folderFd, to, info);
        if (looked == 0) {
            return EEXIST;
        }
        return looked == ENOENT ? RenameAt(folderFd, from, to, true) : looked;
    }
    int UnlinkAt(int folderFd, const Path& name, bool folder) override {
        return RetryInterrupted(
            [&] { return ::unlinkat(folderFd, name.c_str(), folder ? AT_REMOVEDIR : 0); });
    }
    int MkdirAt(int folderFd, const Path& name, mode_t mode) override {
        return RetryInterrupted([&] { return ::mkdirat(folderFd, name.c_str(), mode); });
    }
    int ListFolder(int folderFd, std::vector<FolderEntry>& entries) override {
        entries.clear();
        // a listing of its own: the folder's descriptor keeps its offset
        int fd = -1;
        if (const int error = OpenAt(folderFd, ".", O_RDONLY | O_DIRECTORY, 0, fd); error != 0) {
            return error;
        }
        DIR* dir = fdopendir(fd);
        if (dir == nullptr) {
            const int error = errno;
            ::close(fd);
            return error;
        }
        const int error = ReadEntries(dir, entries);
        closedir(dir);
        return error;
    }
    int SymlinkAt(const Path& target, int folderFd, const Path& name) override {
        return RetryInterrupted(
            [&] { return ::symlinkat(target.c_str(), folderFd, name.c_str()); });
    }
    int ReadlinkAt(int folderFd, const Path& name, Path& target) override {
        std::string buffer(PATH_MAX, '\0');
        ssize_t length = 0;
        const int error = RetryInterrupted([&] {
            return length = ::readlinkat(folderFd, name.c_str(), buffer.data(), buffer.size());
        });
        if (error != 0) {
            return error;
        }
        if (static_cast<std::size_t>(length) == buffer.size()) {
            return ENAMETOOLONG; // may have been cut
        }
        buffer.resize(static_cast<std::size_t>(length));
        target = Path(std::move(buffer));
        return 0;
    }
    int Flock(int fd, int operation) override {
        return RetryInterrupted([&] { return ::flock(fd, operation); });
    }
    int AccessAt(int folderFd, const Path& name, int mode) override {
        return RetryInterrupted([&] {
            return ::faccessat(folderFd, name.c_str(), mode, AT_EACCESS | AT_SYMLINK_NOFOLLOW);
        });
    }
    int Seek(int fd, off_t offset, int whence, off_t& result) override {
        return RetryInterrupted([&] { return result = ::lseek(fd, offset, whence); });
    }
    int Truncate(int fd, off_t length) override {
        return RetryInterrupted([&] { return ::ftruncate(fd, length); });
    }
    int ListAttributes(int fd, std::vector<std::string>& names) override {
        names.clear();
        std::string list;
        const int error = GrowingCall(
            list, [&](char* buffer, std::size_t size) { return ::flistxattr(fd, buffer, size); });
        if (error == ENOTSUP) {
            return 0; // a file system without them has none to keep
        }
        for (std::size_t start = 0; start < list.size();) {
            const std::size_t end = list.find('\0', start);
            names.push_back(list.substr(start, end - start));
            start = end + 1;
        }
        return error;
    }
    int GetAttribute(int fd, const std::string& name, std::string& value) override {
        return GrowingCall(value, [&](char* buffer, std::size_t size) {
            return ::fgetxattr(fd, name.c_str(), buffer, size);
        });
    }
    int SetAttribute(int fd, const std::string& name, const std::string& value) override {
        return RetryInterrupted(
            [&] { return ::fsetxattr(fd, name.c_str(), value.data(), value.size(), 0); });
    }
    int RemoveAttribute(int fd, const std::string& name) override {
        // looked for first: a removal takes a journal transaction even when
        // there is nothing to remove, and most files have nothing
        const int present =
            RetryInterrupted([&] { return ::fgetxattr(fd, name.c_str(), nullptr, 0); });
        if (present != 0) {
            return present;
        }
        return RetryInterrupted([&] { return ::fremovexattr(fd, name.c_str()); });
    }
};

} // namespace

EntryKind KindOfMode(mode_t mode) {
    if (S_ISDIR(mode)) {
        return EntryKind::Folder;
    }
    if (S_ISREG(mode)) {
        return EntryKind::File;
    }
    if (S_ISLNK(mode)) {
        return EntryKind::Link;
    }
    return EntryKind::Other;
}

std::shared_ptr<FileOps> MakePosixFileOps() {
    return std::make_shared<PosixFileOps>();
}

} // namespace velnor
