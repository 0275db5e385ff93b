#include "run/atomic_file.h"

#include "run/os_error.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>

namespace velnor {
namespace {

constexpr std::string_view TempMarker = ".velnor-";
constexpr std::size_t RandomLength = 6;
constexpr std::size_t MaxNameLength = 255; // NAME_MAX of the usual Linux file systems
constexpr int MaxTempAttempts = 100;

std::string RandomSuffix() {
    static constexpr std::string_view letters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, letters.size() - 1);
    std::string suffix;
    for (std::size_t i = 0; i < RandomLength; ++i) {
        suffix += letters[pick(generator)];
    }
    return suffix;
}

// Opens a new temporary file beside target; fails only on a real error.
int CreateTemp(FileOps& ops, const std::filesystem::path& target, mode_t mode,
               std::filesystem::path& temp) {
    for (int attempt = 0; attempt < MaxTempAttempts; ++attempt) {
        temp = TempNameBeside(target);
        int fd = -1;
        const int error = ops.Open(temp, O_WRONLY | O_CREAT | O_EXCL, mode, fd);
        if (error != EEXIST) {
            if (error != 0) {
                throw OsError(error, temp);
            }
            return fd;
        }
    }
    throw OsError(EEXIST, temp);
}

void KeepAttributes(FileOps& ops, int fd, const KeptAttributes& keep,
                    const std::filesystem::path& temp) {
    struct stat info {};
    ThrowIfFailed(ops.Fstat(fd, info), temp);
    if (info.st_uid != keep.Owner || info.st_gid != keep.Group) {
        // Only root can give a file away, and a file system without owners
        // refuses; the page's content and permissions are what must survive.
        ops.Fchown(fd, keep.Owner, keep.Group);
    }
    // after the chown, which clears setuid and setgid
    ThrowIfFailed(ops.Fchmod(fd, keep.Mode), temp);
}

} // namespace

std::filesystem::path TempNameBeside(const std::filesystem::path& target) {
    std::string name = target.filename().native();
    const std::size_t room = MaxNameLength - 1 - TempMarker.size() - RandomLength;
    if (name.size() > room) {
        name.resize(room);
    }
    return target.parent_path() / ("." + name + std::string(TempMarker) + RandomSuffix());
}

void WriteAtomically(FileOps& ops, const std::filesystem::path& target,
                     const std::optional<KeptAttributes>& keep,
                     const std::function<void(int fd, const std::filesystem::path& temp)>& fill) {
    std::filesystem::path temp;
    // a new file gets the usual permissions (umask applied); a kept one its own
    int fd = CreateTemp(ops, target, keep ? S_IRUSR | S_IWUSR : 0666, temp);
    try {
        fill(fd, temp);
        if (keep) {
            KeepAttributes(ops, fd, *keep, temp);
        }
        ThrowIfFailed(ops.Fsync(fd), temp);
        const int closing = fd;
        fd = -1;
        ThrowIfFailed(ops.Close(closing), temp);
        ThrowIfFailed(ops.Rename(temp, target), target);
    } catch (...) {
        if (fd != -1) {
            ops.Close(fd);
        }
        ops.Unlink(temp); // the first error is the one to report
        throw;
    }
    FsyncFolder(ops, target.parent_path());
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
    const std::filesystem::path opened = folder.empty() ? std::filesystem::path(".") : folder;
    int fd = -1;
    ThrowIfFailed(ops.Open(opened, O_RDONLY | O_DIRECTORY, 0, fd), opened);
    const int synced = ops.Fsync(fd);
    const int closed = ops.Close(fd);
    ThrowIfFailed(synced, opened);
    ThrowIfFailed(closed, opened);
}

} // namespace velnor
