#include "os/win32/folder_copy.h"

#include "os/win32/atomic_file.h"
#include "os/win32/folder_listing.h"
#include "os/win32/long_path.h"
#include "os/win32/win32_error.h"

#include <vector>

namespace velnor {
namespace {

constexpr DWORD CopyChunk = 1 << 16;

struct FolderIdentity {
    DWORD Volume = 0;
    std::uint64_t Index = 0;
    bool operator==(const FolderIdentity&) const = default;
};

FolderIdentity IdentityOf(const FileInfo& info) {
    return {info.Volume, info.Index};
}

// The folder at path, links followed as a user's folder would be; throws
// when it is no folder.
FileInfo FolderInfo(const std::filesystem::path& path) {
    const UniqueHandle folder(CreateFileW(LongPath(path).c_str(), FILE_READ_ATTRIBUTES, ShareAll,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                          nullptr));
    ThrowIfFailed(static_cast<bool>(folder), path);
    const FileInfo info = InfoOf(folder.Get(), path);
    if (info.Kind() != EntryKind::Folder) {
        throw Win32Error(ERROR_DIRECTORY, path);
    }
    return info;
}

class TreeCopier {
public:
    TreeCopier(bool overwrite, FolderIdentity destination)
        : overwrite_(overwrite), destination_(destination) {}

    void CopyContents(const std::filesystem::path& source,
                      const std::filesystem::path& destination) {
        for (const ListedEntry& entry : ListFolder(source)) {
            const std::filesystem::path from = source / entry.Name;
            const std::filesystem::path to = destination / entry.Name;
            switch (entry.Kind) {
            case EntryKind::Folder:
                CopySubfolder(from, to);
                break;
            case EntryKind::File:
                CopyOneFile(from, to);
                break;
            case EntryKind::Link: // never followed, and not made: that needs a privilege
            case EntryKind::Missing:
            case EntryKind::Other:
                break;
            }
        }
    }

private:
    void CopySubfolder(const std::filesystem::path& from, const std::filesystem::path& to) {
        const UniqueHandle folder = OpenEntryOrThrow(from, FILE_READ_ATTRIBUTES, ShareAll);
        const FileInfo info = InfoOf(folder.Get(), from);
        if (IdentityOf(info) == destination_) {
            return; // the copy's own destination: copying it would never end
        }
        const std::wstring name = LongPath(to);
        if (!CreateDirectoryW(name.c_str(), nullptr)) {
            const DWORD error = GetLastError();
            const DWORD existing = GetFileAttributesW(name.c_str());
            if (error != ERROR_ALREADY_EXISTS || existing == INVALID_FILE_ATTRIBUTES ||
                KindOf(existing, 0) != EntryKind::Folder ||
                (existing & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
                // a file, or a link that would lead the copy elsewhere
                throw Win32Error(error, to);
            }
        } else if (const DWORD shown =
                       info.Attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
            ThrowIfFailed(SetFileAttributesW(name.c_str(), shown), to);
        }
        CopyContents(from, to);
    }

    void CopyOneFile(const std::filesystem::path& from, const std::filesystem::path& to) {
        const DWORD existing = GetFileAttributesW(LongPath(to).c_str());
        if (existing != INVALID_FILE_ATTRIBUTES && !overwrite_) {
            throw Win32Error(ERROR_FILE_EXISTS, to);
        }
        const UniqueHandle in = OpenEntryOrThrow(from, GENERIC_READ | READ_CONTROL, FILE_SHARE_READ,
                                                 FILE_FLAG_SEQUENTIAL_SCAN);
        const FileInfo info = InfoOf(in.Get(), from);
        PreparedFile prepared = PrepareBeside(to, AttributesOf(in.Get(), info, from),
                                              [&](HANDLE out) { Pump(in.Get(), from, out, to); });
        // A read-only copy from an earlier backup is replaced like any other,
        // as a rename does on Linux; should that fail, it is read-only again.
        const bool readOnly =
            existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) != 0;
        if (readOnly) {
            ThrowIfFailed(
                SetFileAttributesW(LongPath(to).c_str(), existing & ~FILE_ATTRIBUTE_READONLY), to);
        }
        try {
            prepared.Commit();
        } catch (...) {
            if (readOnly) {
                SetFileAttributesW(LongPath(to).c_str(), existing);
            }
            throw;
        }
    }

    static void Pump(HANDLE in, const std::filesystem::path& from, HANDLE out,
                     const std::filesystem::path& to) {
        std::vector<char> buffer(CopyChunk);
        while (true) {
            DWORD got = 0;
            ThrowIfFailed(::ReadFile(in, buffer.data(), CopyChunk, &got, nullptr), from);
            if (got == 0) {
                return;
            }
            WriteAll(out, std::string_view(buffer.data(), got), to);
        }
    }

    bool overwrite_;
    FolderIdentity destination_;
};

} // namespace

void CopyFolderTree(const std::filesystem::path& source, const std::filesystem::path& destination,
                    bool overwrite) {
    FolderInfo(source);
    const std::wstring name = LongPath(destination);
    if (!CreateDirectoryW(name.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        throw Win32Error(GetLastError(), destination);
    }
    TreeCopier copier(overwrite, IdentityOf(FolderInfo(destination)));
    copier.CopyContents(source, destination);
}

} // namespace velnor
