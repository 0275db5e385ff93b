#include "core/files/file_system.h"

#include "core/text/display_path.h"

#include <utility>

namespace velnor {
namespace {

// Without steps of its own, a service replaces the page whole at Commit.
class WholeReplace : public PendingReplace {
public:
    WholeReplace(FileSystemService& service, std::filesystem::path page, const FileStamp& read,
                 std::string bytes)
        : service_(service), page_(std::move(page)), read_(read), bytes_(std::move(bytes)) {}

    void Prepare() override {}
    void Commit() override { service_.ReplaceFile(page_, read_, bytes_); }

private:
    FileSystemService& service_;
    std::filesystem::path page_;
    FileStamp read_;
    std::string bytes_;
};

} // namespace

std::unique_ptr<PendingReplace> FileSystemService::StartReplace(const std::filesystem::path& page,
                                                                const FileStamp& read,
                                                                std::string bytes) {
    return std::make_unique<WholeReplace>(*this, page, read, std::move(bytes));
}

FileSystemError PageTooLarge(const std::filesystem::path& page, std::uint64_t maxBytes) {
    return FileSystemError(DisplayPath(page) + ": page is larger than " + std::to_string(maxBytes) +
                           " bytes");
}

FileSystemError PageChanged(const std::filesystem::path& page) {
    return FileSystemError(DisplayPath(page) +
                           ": changed by another program during the run; left as it is");
}

FileSystemError PageGone(const std::filesystem::path& page) {
    return FileSystemError(DisplayPath(page) +
                           ": removed or renamed by another program during the run; not "
                           "written again");
}

FileSystemError NotOrdinaryFile(const std::filesystem::path& path) {
    return FileSystemError(DisplayPath(path) + ": not an ordinary file");
}

FileSystemError LinkRefused(const std::filesystem::path& path) {
    return FileSystemError(DisplayPath(path) +
                           ": is a symbolic link; nothing is read or written through it");
}

FolderBusy FolderInUse(const std::filesystem::path& folder) {
    return FolderBusy(DisplayPath(folder) +
                      ": another run or restore is working on this folder, or on one inside "
                      "or around it; try again when it has finished");
}

} // namespace velnor
