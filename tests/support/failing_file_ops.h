#pragma once

#include "run/file_ops.h"
#include "run/file_system.h"

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
// count as calls on the path it was opened with. Made with std::make_shared.
// Safe to call from several threads; read the logs once the calls are done.
class FailingFileOps : public FileOps, public std::enable_shared_from_this<FailingFileOps> {
public:
    explicit FailingFileOps(std::shared_ptr<FileOps> real = MakePosixFileOps());

    // The nth call of that kind from now on (1 = the next one) fails.
    void FailNth(FileOpKind kind, int nth, int error);
    // Every call of that kind from now on fails.
    void FailAll(FileOpKind kind, int error);
    // Every call of that kind on that exact path fails.
    void FailOnPath(FileOpKind kind, const std::filesystem::path& path, int error);
    void Heal(); // no more failures

    int Calls(FileOpKind kind) const; // made so far, failed ones included
    int Failures() const;
    // Descriptors opened through these calls and not closed yet.
    std::size_t OpenDescriptors() const;
    // The paths the calls of that kind were made on, in order.
    const std::vector<std::filesystem::path>& CallPaths(FileOpKind kind) const;
    // Every call, in order. A file without a name counts as its folder's.
    const std::vector<std::pair<FileOpKind, Path>>& Log() const { return log_; }

    // A factory of file systems over these calls, for the code under test; it
    // shares ownership of them.
    FileSystemFactory Factory();

    int Open(const Path& path, int flags, mode_t mode, int& fd) override;
    int OpenUnnamed(const Path& folder, mode_t mode, int& fd) override;
    int LinkUnnamed(int fd, const Path& path) override;
    int Close(int fd) override;
    int Read(int fd, char* buffer, std::size_t size, std::size_t& got) override;
    int Write(int fd, const char* data, std::size_t size, std::size_t& written) override;
    int Fsync(int fd) override;
    int Fstat(int fd, struct stat& info) override;
    int Stat(const Path& path, struct stat& info) override;
    int Lstat(const Path& path, struct stat& info) override;
    int Fchmod(int fd, mode_t mode) override;
    int Fchown(int fd, uid_t owner, gid_t group) override;
    int Rename(const Path& from, const Path& to) override;
    int Unlink(const Path& path) override;
    int Mkdir(const Path& path, mode_t mode) override;
    int ListFolder(const Path& path, std::vector<FolderEntry>& entries) override;
    int Symlink(const Path& target, const Path& link) override;
    int Readlink(const Path& path, Path& target) override;

private:
    struct Rule {
        FileOpKind Kind;
        int Error;
        std::optional<int> Nth; // counted in calls of Kind; none: every call
        std::optional<Path> OnPath;
    };

    // The errno to fail this call with, or 0 to carry it out.
    int Injected(FileOpKind kind, const Path& path);
    Path PathOf(int fd) const;
    void Remember(int fd, const Path& path);
    void Forget(int fd);

    mutable std::mutex mutex_; // guards everything below

    std::shared_ptr<FileOps> real_;
    std::vector<Rule> rules_;
    std::map<FileOpKind, int> calls_;
    std::map<FileOpKind, std::vector<Path>> callPaths_;
    std::vector<std::pair<FileOpKind, Path>> log_;
    std::map<int, Path> openPaths_;
    int failures_ = 0;
};

} // namespace velnor::test
