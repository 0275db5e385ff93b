#include "tests/support/failing_file_ops.h"

#include <algorithm>

namespace velnor::test {

void FailingFileOps::FailNth(FileOpKind kind, int nth, int error) {
    const std::lock_guard lock(mutex_);
    rules_.push_back({kind, error, CallsLocked(kind) + nth, std::nullopt});
}

void FailingFileOps::FailAll(FileOpKind kind, int error) {
    const std::lock_guard lock(mutex_);
    rules_.push_back({kind, error, std::nullopt, std::nullopt});
}

void FailingFileOps::FailOnPath(FileOpKind kind, const Path& path, int error) {
    const std::lock_guard lock(mutex_);
    rules_.push_back({kind, error, std::nullopt, path});
}

void FailingFileOps::Heal() {
    const std::lock_guard lock(mutex_);
    rules_.clear();
}

std::vector<std::pair<FileOpKind, FileOps::Path>> FailingFileOps::Log() const {
    const std::lock_guard lock(mutex_);
    return log_;
}

std::vector<FileOps::Path> FailingFileOps::CallPaths(FileOpKind kind) const {
    std::vector<Path> paths;
    for (const auto& [made, path] : Log())
        if (made == kind)
            paths.push_back(path);
    return paths;
}

std::size_t FailingFileOps::OpenDescriptors() const {
    const std::lock_guard lock(mutex_);
    return openPaths_.size();
}

FileSystemFactory FailingFileOps::Factory() {
    return [self = shared_from_this()] {
        return MakeFileSystem(self);
    };
}

int FailingFileOps::CallsLocked(FileOpKind kind) const {
    return static_cast<int>(std::count_if(log_.begin(), log_.end(),
                                          [kind](const auto& call) { return call.first == kind; }));
}

int FailingFileOps::Injected(FileOpKind kind, const Path& path) {
    const std::lock_guard lock(mutex_);
    log_.emplace_back(kind, path);
    const int call = CallsLocked(kind);
    for (const Rule& rule : rules_)
        if (rule.kind == kind && (!rule.call || *rule.call == call) &&
            (!rule.path || *rule.path == path))
            return rule.error;
    return 0;
}

template <typename Real> int FailingFileOps::Pass(FileOpKind kind, const Path& path, Real real) {
    const int error = Injected(kind, path);
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
    const int injected = Injected(FileOpKind::Close, PathOf(fd));
    {
        const std::lock_guard lock(mutex_);
        openPaths_.erase(fd);
    }
    // the descriptor goes in any case, as with the real call
    const int error = real_->Close(fd);
    return injected != 0 ? injected : error;
}

int FailingFileOps::Read(int fd, char* buffer, std::size_t size, std::size_t& got) {
    got = 0;
    return Pass(FileOpKind::Read, PathOf(fd), [&] { return real_->Read(fd, buffer, size, got); });
}

int FailingFileOps::Write(int fd, const char* data, std::size_t size, std::size_t& written) {
    written = 0;
    return Pass(FileOpKind::Write, PathOf(fd),
                [&] { return real_->Write(fd, data, size, written); });
}

int FailingFileOps::Fsync(int fd) {
    return Pass(FileOpKind::Fsync, PathOf(fd), [&] { return real_->Fsync(fd); });
}

int FailingFileOps::Stat(const Path& path, struct stat& info) {
    return Pass(FileOpKind::Stat, path, [&] { return real_->Stat(path, info); });
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

int FailingFileOps::ListFolder(const Path& path, std::vector<FolderEntry>& entries) {
    return Pass(FileOpKind::ListFolder, path, [&] { return real_->ListFolder(path, entries); });
}

int FailingFileOps::SetAttribute(int fd, const std::string& name, const std::string& value) {
    return Pass(FileOpKind::SetAttribute, PathOf(fd),
                [&] { return real_->SetAttribute(fd, name, value); });
}

} // namespace velnor::test
