#include "os/posix/atomic_file.h"

#include "core/files/temp_name.h"
#include "os/posix/os_error.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

namespace velnor {
namespace {

constexpr int MaxTempAttempts = 100;

// Opens a new temporary file beside target.
int CreateTemp(FileOps& ops, const std::filesystem::path& target, mode_t mode,
               std::filesystem::path& temp) {
    int fd = -1;
    temp = MakeTempBeside(target, [&](const std::filesystem::path& name) {
        return ops.Open(name, O_WRONLY | O_CREAT | O_EXCL, mode, fd);
    });
    return fd;
}

} // namespace

std::filesystem::path MakeTempBeside(const std::filesystem::path& target,
                                     const std::function<int(const std::filesystem::path&)>& make) {
    for (int attempt = 0; attempt < MaxTempAttempts; ++attempt) {
        std::filesystem::path temp = TempNameBeside(target);
        const int error = make(temp);
        if (error != EEXIST) {
            ThrowIfFailed(error, target);
            return temp;
        }
    }
    throw OsError(EEXIST, target);
}

PreparedFile::PreparedFile(FileOps& ops, std::filesystem::path target, std::filesystem::path temp,
                           int fd)
    : ops_(&ops), target_(std::move(target)), temp_(std::move(temp)), fd_(fd) {}

PreparedFile::PreparedFile(PreparedFile&& other) noexcept
    : ops_(other.ops_), target_(std::move(other.target_)), temp_(std::exchange(other.temp_, {})),
      fd_(std::exchange(other.fd_, -1)) {}

PreparedFile& PreparedFile::operator=(PreparedFile&& other) noexcept {
    if (this != &other) {
        Discard();
        ops_ = other.ops_;
        target_ = std::move(other.target_);
        temp_ = std::exchange(other.temp_, {});
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

PreparedFile::~PreparedFile() {
    Discard();
}

void PreparedFile::Commit(const std::function<void()>& beforeRename) {
    try {
        if (temp_.empty()) {
            temp_ = MakeTempBeside(target_, [this](const std::filesystem::path& name) {
                return ops_->LinkUnnamed(fd_, name);
            });
        }
        if (fd_ != -1) {
            ThrowIfFailed(ops_->Close(std::exchange(fd_, -1)), target_);
        }
        if (beforeRename) {
            beforeRename();
        }
        ThrowIfFailed(ops_->Rename(temp_, target_), target_);
        temp_.clear();
    } catch (...) {
        Discard();
        throw;
    }
}

void PreparedFile::Discard() noexcept {
    if (fd_ != -1) {
        ops_->Close(std::exchange(fd_, -1)); // an unnamed file vanishes with it
    }
    if (!temp_.empty()) {
        ops_->Unlink(temp_); // the first error is the one to report
        temp_.clear();
    }
}

PreparedFile PrepareAtomically(FileOps& ops, const std::filesystem::path& target,
                               const std::optional<KeptAttributes>& keep,
                               const std::function<void(int fd)>& fill) {
    // a new file gets the usual permissions (umask applied); a kept one its own
    const mode_t mode = keep ? S_IRUSR | S_IWUSR : 0666;
    std::filesystem::path temp; // the temporary file's name, if it has one
    int fd = -1;
    // Unnamed until it is put in place, so a process killed before then
    // leaves nothing behind in the page's folder.
    const int unnamed = ops.OpenUnnamed(FolderOf(target), mode, fd);
    if (unnamed != 0 && unnamed != EOPNOTSUPP) {
        throw OsError(unnamed, target);
    }
    if (unnamed != 0) {
        fd = CreateTemp(ops, target, mode, temp);
    }
    // owns the temporary file from here: a failure below removes it
    PreparedFile prepared(ops, target, temp, fd);
    // errors name the page: the temporary name means nothing to the user
    fill(fd);
    if (keep) {
        ApplyAttributes(ops, fd, *keep, target);
    }
    ThrowIfFailed(ops.Fsync(fd), target);
    if (!temp.empty()) {
        // a named file needs no descriptor to be renamed
        prepared.fd_ = -1;
        ThrowIfFailed(ops.Close(fd), target);
    }
    return prepared;
}

std::filesystem::path FolderOf(const std::filesystem::path& path) {
    return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

void WriteAll(FileOps& ops, int fd, std::string_view bytes, const std::filesystem::path& path) {
    while (!bytes.empty()) {
        std::size_t written = 0;
        ThrowIfFailed(ops.Write(fd, bytes.data(), bytes.size(), written), path);
        if (written == 0) {
            throw OsError(EIO, path); // a write that makes no progress would loop forever
        }
        bytes.remove_prefix(written);
    }
}

void FsyncFolder(FileOps& ops, const std::filesystem::path& folder) {
    int fd = -1;
    ThrowIfFailed(ops.Open(folder, O_RDONLY | O_DIRECTORY, 0, fd), folder);
    const int synced = ops.Fsync(fd);
    const int closed = ops.Close(fd);
    ThrowIfFailed(synced, folder);
    ThrowIfFailed(closed, folder);
}

} // namespace velnor
