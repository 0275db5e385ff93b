#include "os/posix/posix_folder.h"

#include "core/text/display_path.h"
#include "os/posix/file_attributes.h"
#include "os/posix/folder_lock.h"
#include "os/posix/os_error.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>

namespace velnor {
namespace {

constexpr int FolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW;
// not through a link, and a pipe or a terminal put in a file's place must not block or take over
constexpr int ReadFlags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;

FileStamp StampOf(const struct stat& info) {
    constexpr std::int64_t Billion = 1'000'000'000;
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size),
            info.st_mtim.tv_sec * Billion + info.st_mtim.tv_nsec,
            info.st_ctim.tv_sec * Billion + info.st_ctim.tv_nsec};
}

EntryInfo InfoOf(const struct stat& info) {
    return {KindOfMode(info.st_mode), StampOf(info), static_cast<std::uint64_t>(info.st_nlink)};
}

struct stat StatOf(FileOps& ops, int fd, const std::filesystem::path& shown) {
    struct stat info {};
    ThrowIfFailed(ops.Fstat(fd, info), shown);
    return info;
}

// An open descriptor, closed when this goes (a failed close of a file only
// read has nothing to report).
class Descriptor {
public:
    Descriptor(FileOps& ops, int fd) : ops_(ops), fd_(fd) {}
    ~Descriptor() {
        if (fd_ != -1)
            ops_.Close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }

private:
    FileOps& ops_;
    int fd_;
};

class PosixReadable : public ReadableFile {
public:
    // Its status is taken once, at the open: the stamp a page is read with
    // and the size a copy is made to.
    PosixReadable(std::shared_ptr<FileOps> ops, int fd, std::filesystem::path shown)
        : ops_(std::move(ops)), fd_(*ops_, fd), shown_(std::move(shown)),
          status_(StatOf(*ops_, fd_.Get(), shown_)) {}

    EntryInfo Info() override { return InfoOf(status_); }

    std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
        std::size_t got = 0;
        ThrowIfFailed(ops_->ReadAt(fd_.Get(), buffer, size, static_cast<off_t>(offset), got),
                      shown_);
        return got;
    }

    std::optional<std::pair<std::uint64_t, std::uint64_t>> NextData(std::uint64_t offset,
                                                                    std::uint64_t end) override {
        off_t data = 0;
        const int found = ops_->Seek(fd_.Get(), static_cast<off_t>(offset), SEEK_DATA, data);
        if (found == ENXIO || (found == 0 && static_cast<std::uint64_t>(data) >= end))
            return std::nullopt; // a hole to the end
        if (found == EINVAL)     // a file system that cannot tell
            return ReadableFile::NextData(offset, end);
        ThrowIfFailed(found, shown_);
        off_t hole = 0;
        ThrowIfFailed(ops_->Seek(fd_.Get(), data, SEEK_HOLE, hole), shown_);
        return std::pair{static_cast<std::uint64_t>(data),
                         std::min(static_cast<std::uint64_t>(hole), end)};
    }

    std::shared_ptr<const FileAttributes> Attributes() override {
        return ReadAttributes(*ops_, fd_.Get(), status_, shown_);
    }

private:
    std::shared_ptr<FileOps> ops_;
    Descriptor fd_;
    std::filesystem::path shown_;
    struct stat status_;
};

class PosixNewFile : public NewFile {
public:
    PosixNewFile(std::shared_ptr<FileOps> ops, int fd, int folderFd, std::filesystem::path shown)
        : ops_(std::move(ops)), fd_(*ops_, fd), folderFd_(folderFd), shown_(std::move(shown)) {}

    void WriteAt(std::uint64_t offset, std::string_view bytes) override {
        while (!bytes.empty()) {
            std::size_t written = 0;
            ThrowIfFailed(ops_->WriteAt(fd_.Get(), bytes.data(), bytes.size(),
                                        static_cast<off_t>(offset), written),
                          shown_);
            if (written == 0)
                throw OsError(EIO, shown_); // a write that makes no progress would loop forever
            bytes.remove_prefix(written);
            offset += written;
        }
    }

    void SetSize(std::uint64_t size) override {
        ThrowIfFailed(ops_->Truncate(fd_.Get(), static_cast<off_t>(size)), shown_);
    }

    void Apply(const FileAttributes& attributes, bool ownerRequired) override {
        ApplyAttributes(*ops_, fd_.Get(), dynamic_cast<const PosixAttributes&>(attributes),
                        ownerRequired, shown_);
    }

    void Sync() override { ThrowIfFailed(ops_->Fsync(fd_.Get()), shown_); }

    bool GiveName(const EntryName& name) override {
        const int error = ops_->LinkUnnamed(fd_.Get(), folderFd_, name);
        if (error == EEXIST)
            return false;
        ThrowIfFailed(error, shown_);
        return true;
    }

    void Close() override { ThrowIfFailed(ops_->Close(fd_.Release()), shown_); }

private:
    std::shared_ptr<FileOps> ops_;
    Descriptor fd_;
    int folderFd_;
    std::filesystem::path shown_;
};

// While the page is held, the rename over it does not free its content:
// freeing its blocks can wait on the disk (discards), and happens when the
// hold is let go instead, on a thread that can afford to wait.
class PosixHeldPage : public HeldPage {
public:
    PosixHeldPage(std::shared_ptr<FileOps> ops, int fd, const EntryInfo& info,
                  std::shared_ptr<const FileAttributes> attributes)
        : ops_(std::move(ops)), fd_(*ops_, fd), info_(info), attributes_(std::move(attributes)) {}

    const EntryInfo& Info() const override { return info_; }
    std::shared_ptr<const FileAttributes> Attributes() const override { return attributes_; }

    std::optional<FileStamp> StampAfterReplace() override {
        struct stat info {};
        if (ops_->Fstat(fd_.Get(), info) != 0)
            return std::nullopt;
        return StampOf(info);
    }

private:
    std::shared_ptr<FileOps> ops_;
    Descriptor fd_;
    EntryInfo info_;
    std::shared_ptr<const FileAttributes> attributes_;
};

bool SameAttributes(const PosixAttributes& now, const PosixAttributes& wanted) {
    if (now.Mode != wanted.Mode || now.Owner != wanted.Owner || now.Group != wanted.Group ||
        now.Extended.size() != wanted.Extended.size())
        return false;
    for (const auto& attribute : wanted.Extended)
        if (std::find(now.Extended.begin(), now.Extended.end(), attribute) == now.Extended.end())
            return false;
    return true;
}

class PosixFolder : public FolderHandle {
public:
    PosixFolder(std::shared_ptr<FileOps> ops, int fd, std::filesystem::path shown)
        : FolderHandle(std::move(shown)), ops_(std::move(ops)), fd_(*ops_, fd) {}

    FolderId Identity() override {
        const struct stat info = StatOf(*ops_, fd_.Get(), Path());
        return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    }

    std::vector<Entry> List() override {
        std::vector<FolderEntry> listed;
        ThrowIfFailed(ops_->ListFolder(fd_.Get(), listed), Path());
        std::vector<Entry> entries;
        entries.reserve(listed.size());
        for (FolderEntry& entry : listed)
            entries.push_back({std::move(entry.Name), entry.Kind});
        return entries;
    }

    EntryInfo Info(const EntryName& name) override {
        struct stat info {};
        const int error = ops_->StatAt(fd_.Get(), name, info);
        if (error == ENOENT)
            return {};
        ThrowIfFailed(error, PathOf(name));
        return InfoOf(info);
    }

    std::unique_ptr<FolderHandle> OpenFolder(const EntryName& name,
                                             const std::filesystem::path& shown) override {
        return MakePosixFolder(ops_, OpenFolderAt(*ops_, fd_.Get(), name, shown), shown);
    }

    std::unique_ptr<FolderHandle> OpenParent() override {
        int fd = -1;
        if (ops_->OpenAt(fd_.Get(), "..", O_RDONLY | O_DIRECTORY, 0, fd) != 0 &&
            ops_->OpenAt(fd_.Get(), "..", O_PATH | O_DIRECTORY, 0, fd) != 0)
            return nullptr; // a folder above that may not be opened
        auto parent = MakePosixFolder(ops_, fd, Path().parent_path());
        if (parent->Identity() == Identity())
            return nullptr; // the root is its own parent
        return parent;
    }

    bool MakeFolder(const EntryName& name) override {
        const int error = ops_->MkdirAt(fd_.Get(), name, S_IRWXU);
        if (error == EEXIST)
            return false;
        ThrowIfFailed(error, PathOf(name));
        return true;
    }

    std::shared_ptr<const FileAttributes> Attributes() override {
        return ReadAttributes(*ops_, fd_.Get(), StatOf(*ops_, fd_.Get(), Path()), Path());
    }

    // Only what differs is set: a folder another user owns and that is as it
    // should be stays untouched.
    void Apply(const FileAttributes& attributes) override {
        const auto& wanted = dynamic_cast<const PosixAttributes&>(attributes);
        if (!SameAttributes(
                *ReadAttributes(*ops_, fd_.Get(), StatOf(*ops_, fd_.Get(), Path()), Path()),
                wanted))
            ApplyFolderAttributes(*ops_, fd_.Get(), wanted, Path());
    }

    // Root needs no permission bits to write.
    void PrepareToFill() override {
        const struct stat info = StatOf(*ops_, fd_.Get(), Path());
        if (geteuid() != 0 && info.st_uid == geteuid() && (info.st_mode & S_IRWXU) != S_IRWXU)
            ThrowIfFailed(ops_->Fchmod(fd_.Get(), (info.st_mode & 07777) | S_IRWXU), Path());
    }

    std::unique_ptr<ReadableFile> OpenFile(const EntryName& name) override {
        const std::filesystem::path shown = PathOf(name);
        int fd = -1;
        const int opened = ops_->OpenAt(fd_.Get(), name, ReadFlags, 0, fd);
        if (opened == ELOOP)
            throw NotOrdinaryFile(shown);
        ThrowIfFailed(opened, shown);
        auto file = std::make_unique<PosixReadable>(ops_, fd, shown);
        const EntryKind kind = file->Info().kind;
        if (kind == EntryKind::Folder)
            throw OsError(EISDIR, shown);
        if (kind != EntryKind::File)
            throw NotOrdinaryFile(shown);
        return file;
    }

    std::unique_ptr<HeldPage>
    HoldPage(const EntryName& name, const std::function<void(const EntryInfo&)>& check) override {
        const std::filesystem::path shown = PathOf(name);
        int fd = -1;
        if (const int opened = ops_->OpenAt(fd_.Get(), name, ReadFlags, 0, fd); opened != 0) {
            const EntryInfo there = Info(name);
            check(there); // gone, a link, a socket...
            ThrowIfFailed(there.kind == EntryKind::File ? opened : 0, shown);
            return nullptr;
        }
        Descriptor page(*ops_, fd);
        const struct stat info = StatOf(*ops_, fd, shown);
        check(InfoOf(info));
        if (!S_ISREG(info.st_mode))
            return nullptr;
        // Read-only is refused before anything is written, root included, and
        // so is a page the running user could not write.
        if ((info.st_mode & S_IWUSR) == 0)
            throw OsError(EACCES, shown);
        ThrowIfFailed(ops_->AccessAt(fd_.Get(), name, W_OK), shown);
        if (!CanKeepOwner(info.st_uid, info.st_gid))
            throw FileSystemError(DisplayPath(shown) + ": its owner and group cannot be kept: " +
                                  std::system_category().message(EPERM));
        auto attributes = ReadAttributes(*ops_, fd, info, shown);
        return std::make_unique<PosixHeldPage>(ops_, page.Release(), InfoOf(info),
                                               std::move(attributes));
    }

    // A new file gets the usual permissions (umask applied); one that is to
    // be given attributes is its owner's alone until then.
    std::unique_ptr<NewFile> CreateUnnamed(bool isPrivate,
                                           const std::filesystem::path& shown) override {
        int fd = -1;
        const int error = ops_->OpenUnnamed(fd_.Get(), NewMode(isPrivate), fd);
        if (error == EOPNOTSUPP)
            return nullptr;
        ThrowIfFailed(error, shown);
        return std::make_unique<PosixNewFile>(ops_, fd, fd_.Get(), shown);
    }

    std::unique_ptr<NewFile> CreateNamed(const EntryName& name, bool isPrivate,
                                         const std::filesystem::path& shown) override {
        int fd = -1;
        const int error = ops_->OpenAt(fd_.Get(), name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW,
                                       NewMode(isPrivate), fd);
        if (error == EEXIST)
            return nullptr;
        ThrowIfFailed(error, shown);
        return std::make_unique<PosixNewFile>(ops_, fd, fd_.Get(), shown);
    }

    bool CopiesLinks() const override { return true; }

    EntryName ReadLink(const EntryName& name) override {
        std::filesystem::path target;
        ThrowIfFailed(ops_->ReadlinkAt(fd_.Get(), name, target), PathOf(name));
        return target.native();
    }

    bool MakeLink(const EntryName& name, const EntryName& target) override {
        const int error = ops_->SymlinkAt(target, fd_.Get(), name);
        if (error == EEXIST)
            return false;
        ThrowIfFailed(error, PathOf(name));
        return true;
    }

    void RenameEntry(const EntryName& from, const EntryName& to, bool replace) override {
        ThrowIfFailed(ops_->RenameAt(fd_.Get(), from, to, replace), PathOf(to));
    }

    bool RemoveFile(const EntryName& name) override {
        const int error = ops_->UnlinkAt(fd_.Get(), name, false);
        if (error == ENOENT)
            return false;
        ThrowIfFailed(error, PathOf(name));
        return true;
    }

    void RemoveFolder(const EntryName& name) override {
        ThrowIfFailed(ops_->UnlinkAt(fd_.Get(), name, true), PathOf(name));
    }

    void Sync() override {
        const int error = ops_->Fsync(fd_.Get());
        if (error != EBADF) // a folder that may be searched but not read cannot be flushed
            ThrowIfFailed(error, Path());
    }

    std::unique_ptr<FolderLock> Lock(bool withAncestors) override {
        return LockFolderAt(ops_, fd_.Get(), Path(), withAncestors);
    }

private:
    static mode_t NewMode(bool isPrivate) { return isPrivate ? S_IRUSR | S_IWUSR : 0666; }

    std::shared_ptr<FileOps> ops_;
    Descriptor fd_;
};

} // namespace

int OpenFolderAt(FileOps& ops, int folderFd, const std::filesystem::path& name,
                 const std::filesystem::path& shown) {
    int fd = -1;
    int error = ops.OpenAt(folderFd, name, FolderFlags, 0, fd);
    if (error == EACCES) // searched, not listed: enough to reach what lies in it
        error = ops.OpenAt(folderFd, name, O_PATH | O_DIRECTORY | O_NOFOLLOW, 0, fd);
    if (error == ELOOP || error == ENOTDIR) {
        struct stat info {};
        const bool link = ops.StatAt(folderFd, name, info) == 0 && S_ISLNK(info.st_mode);
        throw link ? LinkRefused(shown) : NotAFolder(shown);
    }
    ThrowIfFailed(error, shown);
    return fd;
}

std::unique_ptr<FolderHandle> MakePosixFolder(std::shared_ptr<FileOps> ops, int fd,
                                              std::filesystem::path shown) {
    return std::make_unique<PosixFolder>(std::move(ops), fd, std::move(shown));
}

} // namespace velnor
