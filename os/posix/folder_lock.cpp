#include "os/posix/folder_lock.h"

#include "os/posix/os_error.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <utility>
#include <vector>

namespace velnor {
namespace {

class HeldLocks : public FolderLock {
public:
    HeldLocks(std::shared_ptr<FileOps> ops, std::filesystem::path shown)
        : ops_(std::move(ops)), shown_(std::move(shown)) {}
    ~HeldLocks() override {
        for (const int fd : fds_) {
            ops_->Close(fd); // the lock goes with the descriptor
        }
    }
    HeldLocks(const HeldLocks&) = delete;
    HeldLocks& operator=(const HeldLocks&) = delete;

    FileOps& Ops() { return *ops_; }
    int Keep(int fd) {
        fds_.push_back(fd);
        return fd;
    }
    void Lock(int fd, int operation) {
        const int error = ops_->Flock(fd, operation | LOCK_NB);
        if (error == EWOULDBLOCK) {
            throw FolderInUse(shown_);
        }
        // a file system without locks cannot be guarded; the run goes on
        if (error != ENOLCK && error != EOPNOTSUPP && error != EINVAL) {
            ThrowIfFailed(error, shown_);
        }
    }

private:
    std::shared_ptr<FileOps> ops_;
    std::filesystem::path shown_;
    std::vector<int> fds_;
};

bool SameFolder(FileOps& ops, int a, int b) {
    struct stat first {};
    struct stat second {};
    return ops.Fstat(a, first) == 0 && ops.Fstat(b, second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

} // namespace

std::unique_ptr<FolderLock> LockFolderAt(std::shared_ptr<FileOps> ops, int folderFd,
                                         const std::filesystem::path& shown, bool withAncestors) {
    auto held = std::make_unique<HeldLocks>(std::move(ops), shown);
    // a description of its own: a lock belongs to the description it was taken on
    int fd = -1;
    ThrowIfFailed(held->Ops().OpenAt(folderFd, ".", O_RDONLY | O_DIRECTORY, 0, fd), shown);
    held->Lock(held->Keep(fd), LOCK_EX);
    while (withAncestors) {
        int parent = -1;
        if (held->Ops().OpenAt(fd, "..", O_RDONLY | O_DIRECTORY, 0, parent) != 0) {
            break; // a folder above that may not be opened
        }
        if (SameFolder(held->Ops(), fd, parent)) {
            held->Ops().Close(parent); // the root is its own parent
            break;
        }
        fd = held->Keep(parent);
        held->Lock(fd, LOCK_SH);
    }
    return held;
}

} // namespace velnor
