#pragma once

#include "os/posix/file_ops.h"
#include "os/posix/posix_file_system.h"

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace velnor::test {

// The real low-level calls, of which chosen ones fail with a chosen errno
// (EACCES, ENOSPC, EIO...) without being carried out; permission bits do not
// stop root, so this is how tests meet a failing disk. Calls on a descriptor
// count as calls on the path it was opened with (a file without a name: its
// folder); the kinds no test fails go straight through, unlogged. Made with
// std::make_shared; safe to call from several threads.
class FailingFileOps : public FileOps, public std::enable_shared_from_this<FailingFileOps> {
public:
    explicit FailingFileOps(std::shared_ptr<FileOps> real = MakePosixFileOps())
        : real_(std::move(real)) {}

    // The nth call of that kind from now on (1 = the next one) fails.
    void FailNth(FileOpKind kind, int nth, int error);
    void FailAll(FileOpKind kind, int error);
    // Every call of that kind on that exact path fails.
    void FailOnPath(FileOpKind kind, const Path& path, int error);
    void Heal(); // no more failures

    // Every call so far, failed ones included, in order.
    std::vector<std::pair<FileOpKind, Path>> Log() const;
    std::vector<Path> CallPaths(FileOpKind kind) const;
    int Calls(FileOpKind kind) const { return static_cast<int>(CallPaths(kind).size()); }
    // Descriptors opened through these calls and not closed yet.
    std::size_t OpenDescriptors() const;

    // File systems over these calls, for the code under test.
    FileSystemFactory Factory();

    int Open(const Path& path, int flags, mode_t mode, int& fd) override;
    int OpenUnnamed(const Path& folder, mode_t mode, int& fd) override;
    int LinkUnnamed(int fd, const Path& path) override;
    int Close(int fd) override;
    int Read(int fd, char* buffer, std::size_t size, std::size_t& got) override;
    int Write(int fd, const char* data, std::size_t size, std::size_t& written) override;
    int Fsync(int fd) override;
    int Stat(const Path& path, struct stat& info) override;
    int Lstat(const Path& path, struct stat& info) override;
    int Fchmod(int fd, mode_t mode) override;
    int Rename(const Path& from, const Path& to) override;
    int RenameNoReplace(const Path& from, const Path& to) override; // counted as a Rename
    int ListFolder(const Path& path, std::vector<FolderEntry>& entries) override;
    int SetAttribute(int fd, const std::string& name, const std::string& value) override;
    // never failed by a test
    int Fstat(int fd, struct stat& info) override { return real_->Fstat(fd, info); }
    int Fchown(int fd, uid_t owner, gid_t group) override {
        return real_->Fchown(fd, owner, group);
    }
    int Unlink(const Path& path) override { return real_->Unlink(path); }
    int Mkdir(const Path& path, mode_t mode) override { return real_->Mkdir(path, mode); }
    int Symlink(const Path& target, const Path& link) override {
        return real_->Symlink(target, link);
    }
    int Readlink(const Path& path, Path& target) override { return real_->Readlink(path, target); }
    int OpenAt(int folderFd, const Path& name, int flags, int& fd) override {
        return real_->OpenAt(folderFd, name, flags, fd);
    }
    int Flock(int fd, int operation) override { return real_->Flock(fd, operation); }
    int RemoveFolder(const Path& path) override { return real_->RemoveFolder(path); }
    int Access(const Path& path, int mode) override { return real_->Access(path, mode); }
    int Seek(int fd, off_t offset, int whence, off_t& result) override {
        return real_->Seek(fd, offset, whence, result);
    }
    int Truncate(int fd, off_t length) override { return real_->Truncate(fd, length); }
    int ListAttributes(const Path& path, std::vector<std::string>& names) override {
        return real_->ListAttributes(path, names);
    }
    int GetAttribute(const Path& path, const std::string& name, std::string& value) override {
        return real_->GetAttribute(path, name, value);
    }
    int RemoveAttribute(int fd, const std::string& name) override {
        return real_->RemoveAttribute(fd, name);
    }

private:
    struct Rule {
        FileOpKind kind;
        int error;
        std::optional<int> call; // counted in calls of kind; none: every call
        std::optional<Path> path;
    };

    // Logs the call and fails it when a rule says so; otherwise makes the real one.
    template <typename Real> int Pass(FileOpKind kind, const Path& path, Real real);
    int Injected(FileOpKind kind, const Path& path);
    int CallsLocked(FileOpKind kind) const;
    Path PathOf(int fd) const;
    void Remember(int error, const int& fd, const Path& path);

    std::shared_ptr<FileOps> real_;
    mutable std::mutex mutex_; // guards everything below
    std::vector<Rule> rules_;
    std::vector<std::pair<FileOpKind, Path>> log_;
    std::map<int, Path> openPaths_;
};

} // namespace velnor::test
