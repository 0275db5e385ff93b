#include "tests/support/failing_file_ops.h"

namespace velnor::test {

FailingFileOps::FailingFileOps(std::shared_ptr<FileOps> real) : real_(std::move(real)) {}

void FailingFileOps::FailNth(FileOpKind kind, int nth, int error) {
    const int made = Calls(kind);
    const std::lock_guard lock(mutex_);
    rules_.push_back({kind, error, made + nth, std::nullopt});
}

void FailingFileOps::FailAll(FileOpKind kind, int error) {
    const std::lock_guard lock(mutex_);
    rules_.push_back({kind, error, std::nullopt, std::nullopt});
}

void FailingFileOps::FailOnPath(FileOpKind kind, const std::filesystem::path& path, int error) {
    const std::lock_guard lock(mutex_);
    rules_.push_back({kind, error, std::nullopt, path});
}

void FailingFileOps::Heal() {
    const std::lock_guard lock(mutex_);
    rules_.clear();
}

int FailingFileOps::Calls(FileOpKind kind) const {
    const std::lock_guard lock(mutex_);
    const auto found = calls_.find(kind);
    return found == calls_.end() ? 0 : found->second;
}

const std::vector<std::filesystem::path>& FailingFileOps::CallPaths(FileOpKind kind) const {
    static const std::vector<Path> none;
    const auto found = callPaths_.find(kind);
    return found == callPaths_.end() ? none : found->second;
}

FileSystemFactory FailingFileOps::Factory() {
    std::shared_ptr<FileOps> self = shared_from_this();
    return [self] {
        return MakeFileSystem(self);
    };
}

int FailingFileOps::Failures() const {
    const std::lock_guard lock(mutex_);
    return failures_;
}

std::size_t FailingFileOps::OpenDescriptors() const {
    const std::lock_guard lock(mutex_);
    return openPaths_.size();
}

int FailingFileOps::Injected(FileOpKind kind, const Path& path) {
    const std::lock_guard lock(mutex_);
    const int call = ++calls_[kind];
    callPaths_[kind].push_back(path);
    log_.emplace_back(kind, path);
    for (const Rule& rule : rules_) {
        if (rule.Kind != kind) {
            continue;
        }
        if ((rule.Nth && *rule.Nth != call) || (rule.OnPath && *rule.OnPath != path)) {
            continue;
        }
        ++failures_;
        return rule.Error;
    }
    return 0;
}

FailingFileOps::Path FailingFileOps::PathOf(int fd) const {
    const std::lock_guard lock(mutex_);
    const auto found = openPaths_.find(fd);
    return found == openPaths_.end() ? Path() : found->second;
}

void FailingFileOps::Remember(int fd, const Path& path) {
    const std::lock_guard lock(mutex_);
    openPaths_[fd] = path;
}

void FailingFileOps::Forget(int fd) {
    const std::lock_guard lock(mutex_);
    openPaths_.erase(fd);
}

int FailingFileOps::Open(const Path& path, int flags, mode_t mode, int& fd) {
    if (const int error = Injected(FileOpKind::Open, path)) {
        return error;
    }
    const int error = real_->Open(path, flags, mode, fd);
    if (error == 0) {
        Remember(fd, path);
    }
    return error;
}

int FailingFileOps::OpenUnnamed(const Path& folder, mode_t mode, int& fd) {
    if (const int error = Injected(FileOpKind::OpenUnnamed, folder)) {
        return error;
    }
    const int error = real_->OpenUnnamed(folder, mode, fd);
    if (error == 0) {
        Remember(fd, folder);
    }
    return error;
}

int FailingFileOps::LinkUnnamed(int fd, const Path& path) {
    if (const int error = Injected(FileOpKind::LinkUnnamed, path)) {
        return error;
    }
    const int error = real_->LinkUnnamed(fd, path);
    if (error == 0) {
        Remember(fd, path);
    }
    return error;
}

int FailingFileOps::Close(int fd) {
    const int injected = Injected(FileOpKind::Close, PathOf(fd));
    Forget(fd);
    // the descriptor goes in any case, as with the real call
    const int error = real_->Close(fd);
    return injected != 0 ? injected : error;
}

int FailingFileOps::Read(int fd, char* buffer, std::size_t size, std::size_t& got) {
    if (const int error = Injected(FileOpKind::Read, PathOf(fd))) {
        got = 0;
        return error;
    }
    return real_->Read(fd, buffer, size, got);
}

int FailingFileOps::Write(int fd, const char* data, std::size_t size, std::size_t& written) {
    if (const int error = Injected(FileOpKind::Write, PathOf(fd))) {
        written = 0;
        return error;
    }
    return real_->Write(fd, data, size, written);
}

int FailingFileOps::Fsync(int fd) {
    if (const int error = Injected(FileOpKind::Fsync, PathOf(fd))) {
        return error;
    }
    return real_->Fsync(fd);
}

int FailingFileOps::Fstat(int fd, struct stat& info) {
    if (const int error = Injected(FileOpKind::Fstat, PathOf(fd))) {
        return error;
    }
    return real_->Fstat(fd, info);
}

int FailingFileOps::Stat(const Path& path, struct stat& info) {
    if (const int error = Injected(FileOpKind::Stat, path)) {
        return error;
    }
    return real_->Stat(path, info);
}

int FailingFileOps::Lstat(const Path& path, struct stat& info) {
    if (const int error = Injected(FileOpKind::Lstat, path)) {
        return error;
    }
    return real_->Lstat(path, info);
}

int FailingFileOps::Fchmod(int fd, mode_t mode) {
    if (const int error = Injected(FileOpKind::Fchmod, PathOf(fd))) {
        return error;
    }
    return real_->Fchmod(fd, mode);
}

int FailingFileOps::Fchown(int fd, uid_t owner, gid_t group) {
    if (const int error = Injected(FileOpKind::Fchown, PathOf(fd))) {
        return error;
    }
    return real_->Fchown(fd, owner, group);
}

int FailingFileOps::Rename(const Path& from, const Path& to) {
    // counted on the destination: that is the path a test knows
    if (const int error = Injected(FileOpKind::Rename, to)) {
        return error;
    }
    return real_->Rename(from, to);
}

int FailingFileOps::Unlink(const Path& path) {
    if (const int error = Injected(FileOpKind::Unlink, path)) {
        return error;
    }
    return real_->Unlink(path);
}

int FailingFileOps::Mkdir(const Path& path, mode_t mode) {
    if (const int error = Injected(FileOpKind::Mkdir, path)) {
        return error;
    }
    return real_->Mkdir(path, mode);
}

int FailingFileOps::ListFolder(const Path& path, std::vector<FolderEntry>& entries) {
    if (const int error = Injected(FileOpKind::ListFolder, path)) {
        entries.clear();
        return error;
    }
    return real_->ListFolder(path, entries);
}

int FailingFileOps::Symlink(const Path& target, const Path& link) {
    if (const int error = Injected(FileOpKind::Symlink, link)) {
        return error;
    }
    return real_->Symlink(target, link);
}

int FailingFileOps::Readlink(const Path& path, Path& target) {
    if (const int error = Injected(FileOpKind::Readlink, path)) {
        return error;
    }
    return real_->Readlink(path, target);
}

} // namespace velnor::test
