#include "core/files/file_system.h"

#include "core/files/temp_name.h"
#include "os/win32/atomic_file.h"
#include "os/win32/folder_copy.h"
#include "os/win32/folder_listing.h"
#include "os/win32/folder_lock.h"
#include "os/win32/long_path.h"
#include "os/win32/win32_error.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace velnor {
namespace {

constexpr DWORD MaxRead = 1 << 30; // ReadFile counts in 32 bits

bool NotFound(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// An ordinary file, or the refusal: a folder as Windows refuses one opened
// as a file (access denied), anything else as no ordinary file.
void RefuseAllButFiles(const FileInfo& info, const std::filesystem::path& path) {
    switch (info.Kind()) {
    case EntryKind::File:
        return;
    case EntryKind::Folder:
        throw Win32Error(ERROR_ACCESS_DENIED, path);
    default:
        throw NotOrdinaryFile(path);
    }
}

// The page as it stands, when it is still the file that was read.
FileInfo CheckUnchanged(HANDLE page, const std::filesystem::path& path, const FileStamp& read) {
    const FileInfo info = InfoOf(page, path);
    if (info.Kind() != EntryKind::File || info.Stamp() != read) {
        throw PageChanged(path);
    }
    return info;
}

// A page gone since it was read is not made again.
UniqueHandle OpenPage(const std::filesystem::path& path, DWORD access) {
    UniqueHandle page = OpenEntry(path, access, ShareAll);
    if (!page) {
        const DWORD error = GetLastError();
        throw NotFound(error) ? PageGone(path) : Win32Error(error, path);
    }
    return page;
}

// What the new content must keep of the page. Refused before anything is
// written: a page changed or gone since it was read, a page with the
// read-only attribute (Velnor's own check as well: Wine lets root replace
// one), one the running user may not write, and one that another program
// holds open in a way that would keep it from being replaced (a sharing
// violation). The page is opened once, with the rights its replacement will
// need.
KeptAttributes AttributesToKeep(const std::filesystem::path& path, const FileStamp& read) {
    const UniqueHandle page =
        OpenPage(path, READ_CONTROL | FILE_READ_ATTRIBUTES | FILE_WRITE_DATA | DELETE);
    const FileInfo info = CheckUnchanged(page.Get(), path, read);
    if ((info.Attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        throw Win32Error(ERROR_ACCESS_DENIED, path);
    }
    KeptAttributes keep = AttributesOf(page.Get(), info, path);
    keep.OwnerRequired = true;
    return keep;
}

// The last look before the rename: another writer's change is not undone.
void LastLook(const std::filesystem::path& path, const FileStamp& read) {
    CheckUnchanged(OpenPage(path, FILE_READ_ATTRIBUTES).Get(), path, read);
}

class Win32FileSystem : public FileSystemService {
public:
    using Path = std::filesystem::path;

    bool FolderExists(const Path& path) override {
        const DWORD attributes = GetFileAttributesW(LongPath(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = GetLastError();
            if (NotFound(error)) {
                return false;
            }
            throw Win32Error(error, path);
        }
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    EntryKind KindOf(const Path& path) override {
        const UniqueHandle entry = OpenEntry(path, FILE_READ_ATTRIBUTES, ShareAll);
        if (!entry) {
            const DWORD error = GetLastError();
            if (NotFound(error)) {
                return EntryKind::Missing;
            }
            throw Win32Error(error, path);
        }
        return InfoOf(entry.Get(), path).Kind();
    }

    // Climbs the folders above inner as the system resolved it.
    bool IsWithin(const Path& inner, const Path& outer) override {
        const FileInfo target = FolderInfo(outer);
        for (Path climb = FinalPath(inner);; climb = climb.parent_path()) {
            if (FolderInfo(climb).SameFile(target)) {
                return true;
            }
            if (!climb.has_relative_path()) {
                return false;
            }
        }
    }

    std::unique_ptr<FolderLock> LockFolder(const Path& folder) override {
        return LockFolderTree(folder);
    }

    void CopyFolder(const Path& source, const Path& destination, bool overwrite,
                    const CopyProgress& progress) override {
        CopyFolderTree(source, destination, overwrite, progress);
    }

    void RenameFolder(const Path& from, const Path& to) override {
        ThrowIfFailed(
            MoveFileExW(LongPath(from).c_str(), LongPath(to).c_str(), MOVEFILE_WRITE_THROUGH), to);
    }

    void RemoveTree(const Path& path) override { RemoveFolderTree(path); }

    std::uint64_t RemoveLeftovers(const Path& folder) override {
        std::uint64_t removed = 0;
        for (const ListedEntry& entry : ListFolder(folder)) {
            if (entry.Kind != EntryKind::File || !IsTempName(entry.Name)) {
                continue;
            }
            if (!RemoveFile(folder / entry.Name)) {
                const DWORD error = GetLastError();
                if (!NotFound(error)) {
                    throw Win32Error(error, folder / entry.Name);
                }
                continue;
            }
            ++removed;
        }
        return removed;
    }

    std::unique_ptr<Folder> GetFolder(const Path& path) override {
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
    // (a sharing violation) before it is read. Never more than the size found
    // on the handle: a file that grows meanwhile is caught by its stamp.
    PageBytes ReadPage(const Path& page, std::uint64_t maxBytes) override {
        const UniqueHandle file =
            OpenEntryOrThrow(page, GENERIC_READ, FILE_SHARE_READ, FILE_FLAG_SEQUENTIAL_SCAN);
        const FileInfo info = InfoOf(file.Get(), page);
        RefuseAllButFiles(info, page);
        PageBytes read{std::string(), info.Stamp()};
        if (read.stamp.size > maxBytes) {
            throw PageTooLarge(page, maxBytes);
        }
        read.bytes.resize(read.stamp.size);
        std::size_t length = 0;
        while (length < read.bytes.size()) {
            DWORD got = 0;
            const auto want =
                static_cast<DWORD>(std::min<std::size_t>(read.bytes.size() - length, MaxRead));
            ThrowIfFailed(::ReadFile(file.Get(), read.bytes.data() + length, want, &got, nullptr),
                          page);
            if (got == 0) {
                break;
            }
            length += got;
        }
        read.bytes.resize(length);
        return read;
    }

    void ReplaceFile(const Path& page, const FileStamp& read, std::string_view bytes) override {
        Prepare(page, AttributesToKeep(page, read), bytes).Commit([&] { LastLook(page, read); });
    }

    std::unique_ptr<PendingReplace> StartReplace(const Path& page, const FileStamp& read,
                                                 std::string bytes) override;

    // Safe on several threads at once: the calls it makes share no state.
    static PreparedFile Prepare(const Path& page, const KeptAttributes& keep,
                                std::string_view bytes) {
        return PrepareBeside(page, keep, [&](HANDLE file) { WriteAll(file, bytes, page); });
    }

private:
    static FileInfo FolderInfo(const Path& path) {
        const UniqueHandle folder(CreateFileW(LongPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                              ShareAll, nullptr, OPEN_EXISTING,
                                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        ThrowIfFailed(static_cast<bool>(folder), path);
        return InfoOf(folder.Get(), path, true);
    }
};

// Each rename is on disk when it returns (MOVEFILE_WRITE_THROUGH): Windows
// has no flush of a folder's entries to wait for.
class Win32Replace : public PendingReplace {
public:
    Win32Replace(std::filesystem::path page, const FileStamp& read, KeptAttributes keep,
                 std::string bytes)
        : page_(std::move(page)), read_(read), keep_(std::move(keep)), bytes_(std::move(bytes)) {}

    void Prepare() override {
        prepared_.emplace(Win32FileSystem::Prepare(page_, keep_, bytes_));
        std::string().swap(bytes_); // on disk now; a queue of pages need not hold it twice
    }

    void Commit() override {
        prepared_.value().Commit([this] { LastLook(page_, read_); });
    }

private:
    std::filesystem::path page_;
    FileStamp read_;
    KeptAttributes keep_;
    std::string bytes_;
    std::optional<PreparedFile> prepared_;
};

std::unique_ptr<PendingReplace> Win32FileSystem::StartReplace(const std::filesystem::path& page,
                                                              const FileStamp& read,
                                                              std::string bytes) {
    KeptAttributes keep = AttributesToKeep(page, read);
    return std::make_unique<Win32Replace>(page, read, std::move(keep), std::move(bytes));
}

} // namespace

std::shared_ptr<FileSystemService> MakeFileSystem() {
    return std::make_shared<Win32FileSystem>();
}

} // namespace velnor
