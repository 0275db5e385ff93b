#pragma once

#include "os/posix/file_ops.h"
#include "os/posix/posix_file_system.h"
#include "tests/support/failure_rules.h"

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace velnor::test {

// The real low-level calls, chosen ones failing with a chosen errno without
// being carried out (permission bits do not stop root). A descriptor's calls
// count as on the path it was opened with (an unnamed file: its folder); the
// kinds no test fails go straight through, unlogged.
class FailingFileOps : public FileOps, public FailureRules<FileOpKind, int> {
public:
    using Path = FileOps::Path;

    explicit FailingFileOps(std::shared_ptr<FileOps> real = MakePosixFileOps())
        : real_(std::move(real)) {}

    // Descriptors opened through these calls and not closed yet.
    std::size_t OpenDescriptors() const;

    int Open(const Path& path, int flags, mode_t mode, int& fd) override;
    int OpenUnnamed(const Path& folder, mode_t mode, int& fd) override;
    int LinkUnnamed(int fd, const Path& path) override;
    int Close(int fd) override;
    int Write(int fd, const char* data, std::size_t size, std::size_t& written) override;
    int Fsync(int fd) override;
    int Lstat(const Path& path, struct stat& info) override;
    int Fchmod(int fd, mode_t mode) override;
    int Rename(const Path& from, const Path& to) override;
    int RenameNoReplace(const Path& from, const Path& to) override; // counted as a Rename
    int SetAttribute(int fd, const std::string& name, const std::string& value) override;
    // never failed by a test
    int Read(int fd, char* buffer, std::size_t size, std::size_t& got) override {
        return real_->Read(fd, buffer, size, got);
    }
    int Stat(const Path& path, struct stat& info) override { return real_->Stat(path, info); }
    int ListFolder(const Path& path, std::vector<FolderEntry>& entries) override {
        return real_->ListFolder(path, entries);
    }
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
    // Logs the call and fails it when a rule says so; otherwise makes the real one.
    template <typename Real> int Pass(FileOpKind kind, const Path& path, Real real);
    Path PathOf(int fd) const;
    void Remember(int error, const int& fd, const Path& path);

    std::shared_ptr<FileOps> real_;
    mutable std::mutex mutex_; // guards openPaths_
    std::map<int, Path> openPaths_;
};

} // namespace velnor::test
