#include "os/posix/posix_file_system.h"

#include "os/posix/os_error.h"
#include "os/posix/posix_folder.h"

#include <fcntl.h>

#include <cerrno>
#include <utility>

namespace velnor {
namespace {

class PosixFileSystem : public FileSystemService {
public:
    explicit PosixFileSystem(std::shared_ptr<FileOps> ops) : ops_(std::move(ops)) {}

    bool FolderExists(const std::filesystem::path& path) override {
        struct stat info {};
        const int error = ops_->StatPath(path, info);
        if (error == ENOENT || error == ENOTDIR) {
            return false;
        }
        ThrowIfFailed(error, path);
        return S_ISDIR(info.st_mode);
    }

    std::unique_ptr<FolderHandle> OpenFolder(const std::filesystem::path& path) override {
        int fd = -1;
        int error = ops_->OpenPath(path, O_RDONLY | O_DIRECTORY, fd);
        if (error == EACCES) // searched, not listed: enough to reach what lies in it
            error = ops_->OpenPath(path, O_PATH | O_DIRECTORY, fd);
        ThrowIfFailed(error, path);
        return MakePosixFolder(ops_, fd, path);
    }

private:
    std::shared_ptr<FileOps> ops_;
};

} // namespace

std::shared_ptr<FileSystemService> MakeFileSystem(std::shared_ptr<FileOps> ops) {
    return std::make_shared<PosixFileSystem>(std::move(ops));
}

std::shared_ptr<FileSystemService> MakeFileSystem() {
    return MakeFileSystem(MakePosixFileOps());
}

} // namespace velnor
