#include "os/posix/posix_file_system.h"

#include "core/files/temp_name.h"
#include "os/posix/atomic_file.h"
#include "os/posix/file_ops.h"
#include "os/posix/folder_copy.h"
#include "os/posix/folder_lock.h"
#include "os/posix/os_error.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <utility>

namespace velnor {
namespace {

FileStamp StampOf(const struct stat& info) {
    constexpr std::int64_t Billion = 1'000'000'000;
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size),
            info.st_mtim.tv_sec * Billion + info.st_mtim.tv_nsec,
            info.st_ctim.tv_sec * Billion + info.st_ctim.tv_nsec};
}

class PosixFileSystem : public FileSystemService {
public:
    explicit PosixFileSystem(std::shared_ptr<FileOps> ops) : ops_(std::move(ops)) {}

    bool FolderExists(const std::filesystem::path& path) override {
        struct stat info {};
        const int error = ops_->Stat(path, info);
        if (error == ENOENT || error == ENOTDIR) {
            return false;
        }
        ThrowIfFailed(error, path);
        return S_ISDIR(info.st_mode);
    }

    EntryKind KindOf(const std::filesystem::path& path) override {
        struct stat info {};
        const int error = ops_->Lstat(path, info);
        if (error == ENOENT) {
            return EntryKind::Missing;
        }
        ThrowIfFailed(error, path);
        return KindOfMode(info.st_mode);
    }

    // Climbs from inner through ".." as the system resolves it, so links and
    // bind mounts count for what they are.
    bool IsWithin(const std::filesystem::path& inner, const std::filesystem::path& outer) override {
        struct stat target {};
        ThrowIfFailed(ops_->Stat(outer, target), outer);
        std::filesystem::path climb = inner;
        struct stat here {};
        ThrowIfFailed(ops_->Stat(climb, here), inner);
        while (true) {
            if (here.st_dev == target.st_dev && here.st_ino == target.st_ino) {
                return true;
            }
            climb /= "..";
            struct stat up {};
            ThrowIfFailed(ops_->Stat(climb, up), inner);
            if (up.st_dev == here.st_dev && up.st_ino == here.st_ino) {
                return false; // the root is its own parent
            }
            here = up;
        }
    }

    std::unique_ptr<FolderLock> LockFolder(const std::filesystem::path& folder) override {
        return LockFolderTree(ops_, folder);
    }

    void CopyFolder(const std::filesystem::path& source, const std::filesystem::path& destination,
                    bool overwrite, const CopyProgress& progress) override {
        CopyFolderTree(*ops_, source, destination, overwrite, progress);
    }

    void RenameFolder(const std::filesystem::path& from, const std::filesystem::path& to) override {
        ThrowIfFailed(ops_->RenameNoReplace(from, to), to);
        FsyncFolder(*ops_, FolderOf(to));
    }

    void RemoveTree(const std::filesystem::path& path) override { RemoveFolderTree(*ops_, path); }

    std::uint64_t RemoveLeftovers(const std::filesystem::path& folder) override {
        std::vector<FolderEntry> entries;
        ThrowIfFailed(ops_->ListFolder(folder, entries), folder);
        std::uint64_t removed = 0;
        for (const FolderEntry& entry : entries) {
            if (entry.Kind != EntryKind::File || !IsTempName(entry.Name)) {
                continue;
            }
            const int error = ops_->Unlink(folder / entry.Name);
            if (error != ENOENT) {
                ThrowIfFailed(error, folder / entry.Name);
                ++removed;
            }
        }
        return removed;
    }

    std::unique_ptr<Folder> GetFolder(const std::filesystem::path& path) override {
        std::vector<FolderEntry> entries;
        ThrowIfFailed(ops_->ListFolder(path, entries), path);
        // byte order of the names, so every run lists alike
        std::sort(entries.begin(), entries.end(),
                  [](const FolderEntry& a, const FolderEntry& b) { return a.Name < b.Name; });
        std::vector<FolderItem> subFolders;
        std::vector<FolderItem> files;
        for (const FolderEntry& entry : entries) {
            // links are skipped: a link to a parent folder would make the walk endless
            if (entry.Kind == EntryKind::Folder) {
                subFolders.push_back({path / entry.Name});
            } else if (entry.Kind == EntryKind::File) {
                files.push_back({path / entry.Name});
            }
        }
        return std::make_unique<ListedFolder>(std::move(subFolders), std::move(files));
    }

    PageBytes ReadPage(const std::filesystem::path& page, std::uint64_t maxBytes) override {
        int fd = -1;
        // not through a link, and a pipe put in the page's place must not block
        const int opened = ops_->Open(page, O_RDONLY | O_NOFOLLOW | O_NONBLOCK, 0, fd);
        if (opened == ELOOP) {
            throw NotOrdinaryFile(page);
        }
        ThrowIfFailed(opened, page);
        PageBytes read;
        try {
            read = ReadOpened(fd, page, maxBytes);
        } catch (...) {
            ops_->Close(fd);
            throw;
        }
        ThrowIfFailed(ops_->Close(fd), page);
        return read;
    }

    void ReplaceFile(const std::filesystem::path& page, const FileStamp& read,
                     std::string_view bytes) override {
        PreparedFile prepared = Prepare(page, AttributesToKeep(page, read), bytes);
        Commit(prepared, page, read);
    }

    std::unique_ptr<PendingReplace> StartReplace(const std::filesystem::path& page,
                                                 const FileStamp& read, std::string bytes) override;

    void Flush() override {
        if (unflushed_) {
            const std::filesystem::path folder = *std::exchange(unflushed_, std::nullopt);
            FsyncFolder(*ops_, folder);
        }
    }

    // Safe on several threads at once: the calls it makes share no state.
    PreparedFile Prepare(const std::filesystem::path& page, const KeptAttributes& keep,
                         std::string_view bytes) {
        return PrepareAtomically(*ops_, page, keep,
                                 [&](int fd) { WriteAll(*ops_, fd, bytes, page); });
    }

    // A hold on the page's present content, or -1. While it lasts, the rename
    // over the page does not free that content: freeing its blocks can wait on
    // the disk (discards), and happens when the hold is let go instead, on a
    // thread that can afford to wait.
    int Hold(const std::filesystem::path& page) {
        int fd = -1;
        // a page that cannot be held is freed by the rename, as usual
        return ops_->Open(page, O_PATH | O_NOFOLLOW, 0, fd) == 0 ? fd : -1;
    }

    void LetGo(int fd) {
        if (fd != -1)
            ops_->Close(fd); // nothing was written through it: nothing to report
    }

    // A rename is durable once its folder is flushed; a run goes folder by
    // folder, so each folder is flushed once, when the run leaves it (before
    // the next folder's first page changes) or at the end.
    void Commit(PreparedFile& prepared, const std::filesystem::path& page, const FileStamp& read) {
        const std::filesystem::path folder = FolderOf(page);
        if (unflushed_ && *unflushed_ != folder) {
            Flush();
        }
        // the last look: another writer's change since the read is not undone
        prepared.Commit([&] { CheckUnchanged(page, read); });
        unflushed_ = folder;
    }

private:
    // Never more than the size found on the descriptor: a file that grows
    // while being read is caught by its stamp when it is to be replaced.
    PageBytes ReadOpened(int fd, const std::filesystem::path& page, std::uint64_t maxBytes) {
        struct stat info {};
        ThrowIfFailed(ops_->Fstat(fd, info), page);
        if (S_ISDIR(info.st_mode)) {
            throw OsError(EISDIR, page);
        }
        if (!S_ISREG(info.st_mode)) {
            throw NotOrdinaryFile(page);
        }
        PageBytes read{std::string(), StampOf(info)};
        if (read.stamp.size > maxBytes) {
            throw PageTooLarge(page, maxBytes);
        }
        read.bytes.resize(read.stamp.size);
        std::size_t length = 0;
        while (length < read.bytes.size()) {
            std::size_t got = 0;
            ThrowIfFailed(
                ops_->Read(fd, read.bytes.data() + length, read.bytes.size() - length, got), page);
            if (got == 0) {
                break;
            }
            length += got;
        }
        read.bytes.resize(length);
        return read;
    }

    // Returns the stat of the page when it is still the file read.
    struct stat CheckUnchanged(const std::filesystem::path& page, const FileStamp& read) {
        struct stat info {};
        const int error = ops_->Lstat(page, info);
        if (error == ENOENT) {
            throw PageGone(page);
        }
        ThrowIfFailed(error, page);
        if (StampOf(info) != read) {
            throw PageChanged(page);
        }
        return info;
    }

    // What the new content must keep of the page. A page without its owner's
    // write permission is read-only and refused before anything is written,
    // root included; so is one the running user could not write.
    KeptAttributes AttributesToKeep(const std::filesystem::path& page, const FileStamp& read) {
        const struct stat info = CheckUnchanged(page, read);
        if ((info.st_mode & S_IWUSR) == 0) {
            throw OsError(EACCES, page);
        }
        ThrowIfFailed(ops_->Access(page, W_OK), page);
        return KeptAttributes{static_cast<mode_t>(info.st_mode & 07777), info.st_uid, info.st_gid,
                              ReadExtendedAttributes(*ops_, page), true};
    }

    std::shared_ptr<FileOps> ops_;
    std::optional<std::filesystem::path> unflushed_; // holds renames not yet flushed
};

class PosixReplace : public PendingReplace {
public:
    PosixReplace(PosixFileSystem& service, std::filesystem::path page, const FileStamp& read,
                 KeptAttributes keep, std::string bytes)
        : service_(service), page_(std::move(page)), read_(read), keep_(std::move(keep)),
          bytes_(std::move(bytes)) {}

    ~PosixReplace() override { service_.LetGo(oldPage_); }

    void Prepare() override {
        oldPage_ = service_.Hold(page_);
        prepared_.emplace(service_.Prepare(page_, keep_, bytes_));
        std::string().swap(bytes_); // on disk now; a queue of pages need not hold it twice
    }

    void Commit() override { service_.Commit(prepared_.value(), page_, read_); }

private:
    PosixFileSystem& service_;
    std::filesystem::path page_;
    FileStamp read_;
    KeptAttributes keep_;
    std::string bytes_;
    int oldPage_ = -1;
    std::optional<PreparedFile> prepared_;
};

std::unique_ptr<PendingReplace> PosixFileSystem::StartReplace(const std::filesystem::path& page,
                                                              const FileStamp& read,
                                                              std::string bytes) {
    KeptAttributes keep = AttributesToKeep(page, read);
    return std::make_unique<PosixReplace>(*this, page, read, std::move(keep), std::move(bytes));
}

} // namespace

std::shared_ptr<FileSystemService> MakeFileSystem(std::shared_ptr<FileOps> ops) {
    return std::make_shared<PosixFileSystem>(std::move(ops));
}

std::shared_ptr<FileSystemService> MakeFileSystem() {
    return MakeFileSystem(MakePosixFileOps());
}

} // namespace velnor
