#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velnor {

// A failure of the file system, described in the operating system's words.
class FileSystemError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct FolderItem {
    std::filesystem::path Path; // full path
};

class Folder {
public:
    virtual ~Folder() = default;
    // Sorted by name, so runs are repeatable. Symbolic links are not listed.
    virtual std::vector<FolderItem> SubFolders() const = 0;
    virtual std::vector<FolderItem> Files() const = 0;
};

// A page replacement in two steps, so that the slow one can run on another
// thread while the run goes on: Prepare writes the new content beside the page
// and flushes it to disk, Commit puts it in the page's place. Dropped without
// Commit, it leaves the page as it was and nothing beside it.
class PendingReplace {
public:
    virtual ~PendingReplace() = default;
    // On any thread, alongside other calls of the service.
    virtual void Prepare() = 0;
    // On the thread that started the replacement, after Prepare succeeded.
    virtual void Commit() = 0;
};

// Folder test, recursive copy and listing, plus whole-file reading and atomic
// replacing of page files. Every failure throws FileSystemError.
class FileSystemService {
public:
    virtual ~FileSystemService() = default;

    virtual bool FolderExists(const std::filesystem::path& path) = 0;
    // Afterwards the destination (created if missing) holds every file and
    // subfolder of the source, same-named files overwritten, its other files kept.
    virtual void CopyFolder(const std::filesystem::path& source,
                            const std::filesystem::path& destination, bool overwrite) = 0;
    virtual std::unique_ptr<Folder> GetFolder(const std::filesystem::path& path) = 0;

    virtual std::string ReadWholeFile(const std::filesystem::path& path) = 0;
    // Never leaves the page missing or half-written. The page's folder entry
    // lasts through a crash once the next Flush() returns.
    virtual void ReplaceFile(const std::filesystem::path& path, std::string_view bytes) = 0;
    // ReplaceFile in two steps; a read-only page is refused here, before
    // anything is written. By default the whole replacement is done at Commit.
    virtual std::unique_ptr<PendingReplace> StartReplace(const std::filesystem::path& path,
                                                         std::string bytes);
    // Makes every replacement so far last through a crash. A page is whole
    // either way; this keeps a finished run from coming back undone.
    virtual void Flush() {}
};

using FileSystemFactory = std::function<std::shared_ptr<FileSystemService>()>;

// The real file system; from the OS layer.
std::shared_ptr<FileSystemService> MakeFileSystem();

} // namespace velnor
