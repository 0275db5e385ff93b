#include "os/win32/file_info.h"

#include "os/win32/long_path.h"
#include "os/win32/win32_error.h"

namespace velnor {

EntryKind KindOf(DWORD attributes, DWORD reparseTag) {
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsReparseTagNameSurrogate(reparseTag)) {
        return EntryKind::Link;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return EntryKind::Folder;
    }
    if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) {
        return EntryKind::Other;
    }
    return EntryKind::File;
}

FileInfo InfoOf(HANDLE file, const std::filesystem::path& path) {
    BY_HANDLE_FILE_INFORMATION info{};
    ThrowIfFailed(GetFileInformationByHandle(file, &info), path);
    FileInfo result;
    result.Attributes = info.dwFileAttributes;
    result.Volume = info.dwVolumeSerialNumber;
    result.Index = std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow;
    result.Size = std::uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow;
    result.Created = info.ftCreationTime;
    result.Written = info.ftLastWriteTime;
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        FILE_ATTRIBUTE_TAG_INFO tag{};
        ThrowIfFailed(GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag),
                      path);
        result.ReparseTag = tag.ReparseTag;
    }
    return result;
}

UniqueHandle OpenEntry(const std::filesystem::path& path, DWORD access, DWORD share, DWORD flags) {
    // Backup semantics open folders too; the reparse flag keeps a link from being followed.
    return UniqueHandle(
        CreateFileW(LongPath(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                    flags | FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

UniqueHandle OpenEntryOrThrow(const std::filesystem::path& path, DWORD access, DWORD share,
                              DWORD flags) {
    UniqueHandle handle = OpenEntry(path, access, share, flags);
    ThrowIfFailed(static_cast<bool>(handle), path);
    return handle;
}

} // namespace velnor
