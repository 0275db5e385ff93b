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
    // Never leaves the page missing or half-written.
    virtual void ReplaceFile(const std::filesystem::path& path, std::string_view bytes) = 0;
};

class FileOps;

using FileSystemFactory = std::function<std::shared_ptr<FileSystemService>()>;

// The real file system.
std::shared_ptr<FileSystemService> MakeFileSystem();
// The service over other low-level calls (run/file_ops.h), e.g. ones that fail on purpose.
std::shared_ptr<FileSystemService> MakeFileSystem(std::shared_ptr<FileOps> ops);

} // namespace velnor
