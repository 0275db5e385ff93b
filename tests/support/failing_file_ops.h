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
// being carried out (permission bits do not stop root). A call is logged on
// the path of what it concerns: a descriptor's calls on the path it was
// opened with (an unnamed file: its folder), a call on a name of an open
// folder on the folder's path and the name. The kinds no test fails go
// straight through, unlogged.
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

    int StatPath(const Path& path, struct stat& info) override {
        return real_->StatPath(path, info);
    }
    int OpenPath(const Path& path, int flags, int& fd) override {
        return Remember(real_->OpenPath(path, flags, fd), fd, path);
    }
    int OpenAt(int folderFd, const Path& name, int flags, mode_t mode, int& fd) override {
        const Path path = At(folderFd, name);
        return Remember(Pass(FileOpKind::OpenAt, path,
                             [&] { return real_->OpenAt(folderFd, name, flags, mode, fd); }),
                        fd, path);
    }
    int StatAt(int folderFd, const Path& name, struct stat& info) override {
        return real_->StatAt(folderFd, name, info);
    }
    int OpenUnnamed(int folderFd, mode_t mode, int& fd) override {
        const Path folder = PathOf(folderFd);
        return Remember(Pass(FileOpKind::OpenUnnamed, folder,
                             [&] { return real_->OpenUnnamed(folderFd, mode, fd); }),
                        fd, folder);
    }
    int LinkUnnamed(int fd, int folderFd, const Path& name) override {
        const Path path = At(folderFd, name);
        return Remember(Pass(FileOpKind::LinkUnnamed, path,
                             [&] { return real_->LinkUnnamed(fd, folderFd, name); }),
                        fd, path);
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
    int ReadAt(int fd, char* buffer, std::size_t size, off_t offset, std::size_t& got) override {
        return real_->ReadAt(fd, buffer, size, offset, got);
    }
    int WriteAt(int fd, const char* data, std::size_t size, off_t offset,
                std::size_t& written) override {
        written = 0;
        return Pass(FileOpKind::Write, PathOf(fd),
                    [&] { return real_->WriteAt(fd, data, size, offset, written); });
    }
    int Fsync(int fd) override {
        return Pass(FileOpKind::Fsync, PathOf(fd), [&] { return real_->Fsync(fd); });
    }
    int Fstat(int fd, struct stat& info) override { return real_->Fstat(fd, info); }
    int Fchmod(int fd, mode_t mode) override {
        return Pass(FileOpKind::Fchmod, PathOf(fd), [&] { return real_->Fchmod(fd, mode); });
    }
    int Fchown(int fd, uid_t owner, gid_t group) override {
        return real_->Fchown(fd, owner, group);
    }
    // renames are logged on the destination: that is the path a test knows
    int RenameAt(int folderFd, const Path& from, const Path& to, bool replace) override {
        return Pass(FileOpKind::Rename, At(folderFd, to),
                    [&] { return real_->RenameAt(folderFd, from, to, replace); });
    }
    int UnlinkAt(int folderFd, const Path& name, bool folder) override {
        return real_->UnlinkAt(folderFd, name, folder);
    }
    int MkdirAt(int folderFd, const Path& name, mode_t mode) override {
        return real_->MkdirAt(folderFd, name, mode);
    }
    int ListFolder(int folderFd, std::vector<FolderEntry>& entries) override {
        return real_->ListFolder(folderFd, entries);
    }
    int SymlinkAt(const Path& target, int folderFd, const Path& name) override {
        return real_->SymlinkAt(target, folderFd, name);
    }
    int ReadlinkAt(int folderFd, const Path& name, Path& target) override {
        return real_->ReadlinkAt(folderFd, name, target);
    }
    int Flock(int fd, int operation) override { return real_->Flock(fd, operation); }
    int AccessAt(int folderFd, const Path& name, int mode) override {
        return real_->AccessAt(folderFd, name, mode);
    }
    int Seek(int fd, off_t offset, int whence, off_t& result) override {
        return real_->Seek(fd, offset, whence, result);
    }
    int Truncate(int fd, off_t length) override { return real_->Truncate(fd, length); }
    int ListAttributes(int fd, std::vector<std::string>& names) override {
        return real_->ListAttributes(fd, names);
    }
    int GetAttribute(int fd, const std::string& name, std::string& value) override {
        return real_->GetAttribute(fd, name, value);
    }
    int SetAttribute(int fd, const std::string& name, const std::string& value) override {
        return Pass(FileOpKind::SetAttribute, PathOf(fd),
                    [&] { return real_->SetAttribute(fd, name, value); });
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
    Path At(int folderFd, const Path& name) const {
        return name == "." ? PathOf(folderFd) : PathOf(folderFd) / name;
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
