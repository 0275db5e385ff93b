#include "os/posix/posix_file_system.h"

#include "core/text/display_path.h"
#include "os/posix/atomic_file.h"
#include "os/posix/file_ops.h"
#include "os/posix/folder_copy.h"
#include "os/posix/os_error.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <utility>

namespace velnor {
namespace {

constexpr std::size_t ReadChunk = 1 << 16;

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

    void CopyFolder(const std::filesystem::path& source, const std::filesystem::path& destination,
                    bool overwrite) override {
        CopyFolderTree(*ops_, source, destination, overwrite);
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

    std::string ReadWholeFile(const std::filesystem::path& path) override {
        int fd = -1;
        ThrowIfFailed(ops_->Open(path, O_RDONLY, 0, fd), path);
        std::string bytes;
        try {
            ReadAll(fd, path, bytes);
        } catch (...) {
            ops_->Close(fd);
            throw;
        }
        ThrowIfFailed(ops_->Close(fd), path);
        return bytes;
    }

    void ReplaceFile(const std::filesystem::path& path, std::string_view bytes) override {
        PreparedFile prepared = Prepare(path, AttributesToKeep(path), bytes);
        Commit(prepared, path);
    }

    std::unique_ptr<PendingReplace> StartReplace(const std::filesystem::path& path,
                                                 std::string bytes) override;

    void Flush() override {
        if (unflushed_) {
            const std::filesystem::path folder = *std::exchange(unflushed_, std::nullopt);
            FsyncFolder(*ops_, folder);
        }
    }

    // Safe on several threads at once: the calls it makes share no state.
    PreparedFile Prepare(const std::filesystem::path& path,
                         const std::optional<KeptAttributes>& keep, std::string_view bytes) {
        return PrepareAtomically(*ops_, path, keep,
                                 [&](int fd) { WriteAll(*ops_, fd, bytes, path); });
    }

    // A rename is durable once its folder is flushed; a run goes folder by
    // folder, so each folder is flushed once, when the run leaves it (before
    // the next folder's first page changes) or at the end.
    void Commit(PreparedFile& prepared, const std::filesystem::path& path) {
        const std::filesystem::path folder = FolderOf(path);
        if (unflushed_ && *unflushed_ != folder) {
            Flush();
        }
        prepared.Commit();
        unflushed_ = folder;
    }

private:
    void ReadAll(int fd, const std::filesystem::path& path, std::string& bytes) {
        struct stat info {};
        ThrowIfFailed(ops_->Fstat(fd, info), path);
        if (S_ISDIR(info.st_mode)) {
            throw OsError(EISDIR, path);
        }
        // one byte past the size, so the end shows without growing the buffer
        bytes.resize(std::max<std::size_t>(static_cast<std::size_t>(info.st_size) + 1, ReadChunk));
        std::size_t length = 0;
        while (true) {
            if (length == bytes.size()) {
                bytes.resize(bytes.size() * 2); // the file grew while being read
            }
            std::size_t got = 0;
            ThrowIfFailed(ops_->Read(fd, bytes.data() + length, bytes.size() - length, got), path);
            if (got == 0) {
                bytes.resize(length);
                return;
            }
            length += got;
        }
    }

    // The page's own permissions and owner, or nothing for a page not yet there.
    // A page without its owner's write permission is read-only and refused before
    // anything is written; root, whom the system lets write anyway, included.
    std::optional<KeptAttributes> AttributesToKeep(const std::filesystem::path& path) {
        struct stat info {};
        const int error = ops_->Lstat(path, info);
        if (error == ENOENT) {
            return std::nullopt;
        }
        ThrowIfFailed(error, path);
        if (S_ISDIR(info.st_mode)) {
            throw OsError(EISDIR, path);
        }
        if (!S_ISREG(info.st_mode)) {
            throw FileSystemError(DisplayPath(path) + ": not an ordinary file");
        }
        if ((info.st_mode & S_IWUSR) == 0) {
            throw OsError(EACCES, path);
        }
        return KeptAttributes{static_cast<mode_t>(info.st_mode & 07777), info.st_uid, info.st_gid};
    }

    std::shared_ptr<FileOps> ops_;
    std::optional<std::filesystem::path> unflushed_; // holds renames not yet flushed
};

class PosixReplace : public PendingReplace {
public:
    PosixReplace(PosixFileSystem& service, std::filesystem::path path,
                 std::optional<KeptAttributes> keep, std::string bytes)
        : service_(service), path_(std::move(path)), keep_(std::move(keep)),
          bytes_(std::move(bytes)) {}

    void Prepare() override {
        prepared_.emplace(service_.Prepare(path_, keep_, bytes_));
        std::string().swap(bytes_); // on disk now; a queue of pages need not hold it twice
    }

    void Commit() override { service_.Commit(prepared_.value(), path_); }

private:
    PosixFileSystem& service_;
    std::filesystem::path path_;
    std::optional<KeptAttributes> keep_;
    std::string bytes_;
    std::optional<PreparedFile> prepared_;
};

std::unique_ptr<PendingReplace> PosixFileSystem::StartReplace(const std::filesystem::path& path,
                                                              std::string bytes) {
    std::optional<KeptAttributes> keep = AttributesToKeep(path);
    return std::make_unique<PosixReplace>(*this, path, std::move(keep), std::move(bytes));
}

} // namespace

std::shared_ptr<FileSystemService> MakeFileSystem(std::shared_ptr<FileOps> ops) {
    return std::make_shared<PosixFileSystem>(std::move(ops));
}

std::shared_ptr<FileSystemService> MakeFileSystem() {
    return MakeFileSystem(MakePosixFileOps());
}

} // namespace velnor
