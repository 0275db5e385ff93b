#include "core/files/file_system.h"

#include "core/text/display_path.h"
#include "os/win32/atomic_file.h"
#include "os/win32/folder_copy.h"
#include "os/win32/folder_listing.h"
#include "os/win32/long_path.h"
#include "os/win32/win32_error.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace velnor {
namespace {

constexpr DWORD ReadChunk = 1 << 16;

class ListedFolder : public Folder {
public:
    ListedFolder(std::vector<FolderItem> subFolders, std::vector<FolderItem> files)
        : subFolders_(std::move(subFolders)), files_(std::move(files)) {}

    std::vector<FolderItem> SubFolders() const override { return subFolders_; }
    std::vector<FolderItem> Files() const override { return files_; }

private:
    std::vector<FolderItem> subFolders_;
    std::vector<FolderItem> files_;
};

FileSystemError NotOrdinaryFile(const std::filesystem::path& path) {
    return FileSystemError(DisplayPath(path) + ": not an ordinary file");
}

// The page's attributes and access control list, or nothing for a page not
// yet there. Refused before anything is written: what is not an ordinary
// file, a page with the read-only attribute (Velnor's own check: Wine lets
// root replace one), one the running user may not write, and one that
// another program holds open in a way that would keep it from being replaced
// (a sharing violation).
std::optional<KeptAttributes> AttributesToKeep(const std::filesystem::path& path) {
    const UniqueHandle page = OpenEntry(path, READ_CONTROL | FILE_READ_ATTRIBUTES, ShareAll);
    if (!page) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) {
            return std::nullopt;
        }
        throw Win32Error(GetLastError(), path);
    }
    const FileInfo info = InfoOf(page.Get(), path);
    switch (info.Kind()) {
    case EntryKind::File:
        break;
    case EntryKind::Folder:
        throw Win32Error(ErrorDirectoryNotSupported, path);
    default:
        throw NotOrdinaryFile(path);
    }
    if ((info.Attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        throw Win32Error(ERROR_ACCESS_DENIED, path);
    }
    // the rights a replacement needs, asked for the way the rename will
    OpenEntryOrThrow(path, FILE_WRITE_DATA | DELETE, ShareAll);
    return AttributesOf(page.Get(), info, path);
}

class Win32FileSystem : public FileSystemService {
public:
    bool FolderExists(const std::filesystem::path& path) override {
        const DWORD attributes = GetFileAttributesW(LongPath(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
                return false;
            }
            throw Win32Error(error, path);
        }
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    void CopyFolder(const std::filesystem::path& source, const std::filesystem::path& destination,
                    bool overwrite) override {
        CopyFolderTree(source, destination, overwrite);
    }

    std::unique_ptr<Folder> GetFolder(const std::filesystem::path& path) override {
        std::vector<FolderItem> subFolders;
        std::vector<FolderItem> files;
        for (const ListedEntry& entry : ListFolder(path)) {
            // links are skipped: a link to a parent folder would make the walk endless
            if (entry.Kind == EntryKind::Folder) {
                subFolders.push_back({path / entry.Name});
            } else if (entry.Kind == EntryKind::File) {
                files.push_back({path / entry.Name});
            }
        }
        return std::make_unique<ListedFolder>(std::move(subFolders), std::move(files));
    }

    // Shared with readers only: a page another program is writing is refused
    // (a sharing violation) before it is read.
    std::string ReadWholeFile(const std::filesystem::path& path) override {
        const UniqueHandle file =
            OpenEntryOrThrow(path, GENERIC_READ, FILE_SHARE_READ, FILE_FLAG_SEQUENTIAL_SCAN);
        const FileInfo info = InfoOf(file.Get(), path);
        if (info.Kind() == EntryKind::Folder) {
            throw Win32Error(ErrorDirectoryNotSupported, path);
        }
        if (info.Kind() != EntryKind::File) {
            throw NotOrdinaryFile(path);
        }
        // one byte past the size, so the end shows without growing the buffer
        std::string bytes(std::max<std::size_t>(info.Size + 1, ReadChunk), '\0');
        std::size_t length = 0;
        while (true) {
            if (length == bytes.size()) {
                bytes.resize(bytes.size() * 2); // the file grew while being read
            }
            DWORD got = 0;
            const DWORD want =
                static_cast<DWORD>(std::min<std::size_t>(bytes.size() - length, 1u << 30));
            ThrowIfFailed(::ReadFile(file.Get(), bytes.data() + length, want, &got, nullptr), path);
            if (got == 0) {
                bytes.resize(length);
                return bytes;
            }
            length += got;
        }
    }

    void ReplaceFile(const std::filesystem::path& path, std::string_view bytes) override {
        Prepare(path, AttributesToKeep(path), bytes).Commit();
    }

    std::unique_ptr<PendingReplace> StartReplace(const std::filesystem::path& path,
                                                 std::string bytes) override;

    // Safe on several threads at once: the calls it makes share no state.
    static PreparedFile Prepare(const std::filesystem::path& path,
                                const std::optional<KeptAttributes>& keep, std::string_view bytes) {
        return PrepareBeside(path, keep, [&](HANDLE file) { WriteAll(file, bytes, path); });
    }
};

// Each rename is on disk when it returns (MOVEFILE_WRITE_THROUGH): Windows
// has no flush of a folder's entries to wait for.
class Win32Replace : public PendingReplace {
public:
    Win32Replace(std::filesystem::path path, std::optional<KeptAttributes> keep, std::string bytes)
        : path_(std::move(path)), keep_(std::move(keep)), bytes_(std::move(bytes)) {}

    void Prepare() override {
        prepared_.emplace(Win32FileSystem::Prepare(path_, keep_, bytes_));
        std::string().swap(bytes_); // on disk now; a queue of pages need not hold it twice
    }

    void Commit() override { prepared_.value().Commit(); }

private:
    std::filesystem::path path_;
    std::optional<KeptAttributes> keep_;
    std::string bytes_;
    std::optional<PreparedFile> prepared_;
};

std::unique_ptr<PendingReplace> Win32FileSystem::StartReplace(const std::filesystem::path& path,
                                                              std::string bytes) {
    std::optional<KeptAttributes> keep = AttributesToKeep(path);
    return std::make_unique<Win32Replace>(path, std::move(keep), std::move(bytes));
}

} // namespace

std::shared_ptr<FileSystemService> MakeFileSystem() {
    return std::make_shared<Win32FileSystem>();
}

} // namespace velnor
