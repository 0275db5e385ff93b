#include "tests/support/failing_file_ops.h"

namespace velnor::test {

std::size_t FailingFileOps::OpenDescriptors() const {
    const std::lock_guard lock(mutex_);
    return openPaths_.size();
}

template <typename Real> int FailingFileOps::Pass(FileOpKind kind, const Path& path, Real real) {
    const int error = Hit(kind, path).value_or(0);
    return error != 0 ? error : real();
}

FileOps::Path FailingFileOps::PathOf(int fd) const {
    const std::lock_guard lock(mutex_);
    const auto found = openPaths_.find(fd);
    return found == openPaths_.end() ? Path() : found->second;
}

void FailingFileOps::Remember(int error, const int& fd, const Path& path) {
    if (error == 0) {
        const std::lock_guard lock(mutex_);
        openPaths_[fd] = path;
    }
}

int FailingFileOps::Open(const Path& path, int flags, mode_t mode, int& fd) {
    const int error =
        Pass(FileOpKind::Open, path, [&] { return real_->Open(path, flags, mode, fd); });
    Remember(error, fd, path);
    return error;
}

int FailingFileOps::OpenUnnamed(const Path& folder, mode_t mode, int& fd) {
    const int error =
        Pass(FileOpKind::OpenUnnamed, folder, [&] { return real_->OpenUnnamed(folder, mode, fd); });
    Remember(error, fd, folder);
    return error;
}

int FailingFileOps::LinkUnnamed(int fd, const Path& path) {
    const int error =
        Pass(FileOpKind::LinkUnnamed, path, [&] { return real_->LinkUnnamed(fd, path); });
    Remember(error, fd, path);
    return error;
}

int FailingFileOps::Close(int fd) {
    const int injected = Hit(FileOpKind::Close, PathOf(fd)).value_or(0);
    {
        const std::lock_guard lock(mutex_);
        openPaths_.erase(fd);
    }
    // the descriptor goes in any case, as with the real call
    const int error = real_->Close(fd);
    return injected != 0 ? injected : error;
}

int FailingFileOps::Write(int fd, const char* data, std::size_t size, std::size_t& written) {
    written = 0;
    return Pass(FileOpKind::Write, PathOf(fd),
                [&] { return real_->Write(fd, data, size, written); });
}

int FailingFileOps::Fsync(int fd) {
    return Pass(FileOpKind::Fsync, PathOf(fd), [&] { return real_->Fsync(fd); });
}

int FailingFileOps::Lstat(const Path& path, struct stat& info) {
    return Pass(FileOpKind::Lstat, path, [&] { return real_->Lstat(path, info); });
}

int FailingFileOps::Fchmod(int fd, mode_t mode) {
    return Pass(FileOpKind::Fchmod, PathOf(fd), [&] { return real_->Fchmod(fd, mode); });
}

// logged on the destination: that is the path a test knows
int FailingFileOps::Rename(const Path& from, const Path& to) {
    return Pass(FileOpKind::Rename, to, [&] { return real_->Rename(from, to); });
}

int FailingFileOps::RenameNoReplace(const Path& from, const Path& to) {
    return Pass(FileOpKind::Rename, to, [&] { return real_->RenameNoReplace(from, to); });
}

int FailingFileOps::SetAttribute(int fd, const std::string& name, const std::string& value) {
    return Pass(FileOpKind::SetAttribute, PathOf(fd),
                [&] { return real_->SetAttribute(fd, name, value); });
}

} // namespace velnor::test
