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
    std::size_t OpenDescriptors() const {
        const std::lock_guard lock(mutex_);
        return openPaths_.size();
    }

    int Open(const Path& path, int flags, mode_t mode, int& fd) override {
        return Remember(
            Pass(FileOpKind::Open, path, [&] { return real_->Open(path, flags, mode, fd); }), fd,
            path);
    }
    int OpenUnnamed(const Path& folder, mode_t mode, int& fd) override {
        return Remember(Pass(FileOpKind::OpenUnnamed, folder,
                             [&] { return real_->OpenUnnamed(folder, mode, fd); }),
                        fd, folder);
    }
    int LinkUnnamed(int fd, const Path& path) override {
        return Remember(
            Pass(FileOpKind::LinkUnnamed, path, [&] { return real_->LinkUnnamed(fd, path); }), fd,
            path);
    }
    int Close(int fd) override {
        const int injected = Hit(FileOpKind::Close, PathOf(fd)).value_or(0);
        {
            const std::lock_guard lock(mutex_);
            openPaths_.erase(fd);
        }
        // the descriptor goes in any case, as with the real call
        const int error = real_->Close(fd);
        return injected != 0 ? injected : error;
    }
    int Write(int fd, const char* data, std::size_t size, std::size_t& written) override {
        written = 0;
        return Pass(FileOpKind::Write, PathOf(fd),
                    [&] { return real_->Write(fd, data, size, written); });
    }
    int Fsync(int fd) override {
        return Pass(FileOpKind::Fsync, PathOf(fd), [&] { return real_->Fsync(fd); });
    }
    int Lstat(const Path& path, struct stat& info) override {
        return Pass(FileOpKind::Lstat, path, [&] { return real_->Lstat(path, info); });
    }
    int Fchmod(int fd, mode_t mode) override {
        return Pass(FileOpKind::Fchmod, PathOf(fd), [&] { return real_->Fchmod(fd, mode); });
    }
    // renames are logged on the destination: that is the path a test knows
    int Rename(const Path& from, const Path& to) override {
        return Pass(FileOpKind::Rename, to, [&] { return real_->Rename(from, to); });
    }
    int RenameNoReplace(const Path& from, const Path& to) override {
        return Pass(FileOpKind::Rename, to, [&] { return real_->RenameNoReplace(from, to); });
    }
    int SetAttribute(int fd, const std::string& name, const std::string& value) override {
        return Pass(FileOpKind::SetAttribute, PathOf(fd),
                    [&] { return real_->SetAttribute(fd, name, value); });
    }

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
    template <typename Real> int Pass(FileOpKind kind, const Path& path, Real real) {
        const int error = Hit(kind, path).value_or(0);
        return error != 0 ? error : real();
    }
    Path PathOf(int fd) const {
        const std::lock_guard lock(mutex_);
        const auto found = openPaths_.find(fd);
        return found == openPaths_.end() ? Path() : found->second;
    }
    // fd by reference: read after the call that set it
    int Remember(int error, const int& fd, const Path& path) {
        const std::lock_guard lock(mutex_);
        if (error == 0)
            openPaths_[fd] = path;
        return error;
    }

    std::shared_ptr<FileOps> real_;
    mutable std::mutex mutex_; // guards openPaths_
    std::map<int, Path> openPaths_;
};

} // namespace velnor::test
