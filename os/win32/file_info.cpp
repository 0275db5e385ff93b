#include "os/win32/file_info.h"

#include "os/win32/long_path.h"
#include "os/win32/win32_error.h"

#include <winternl.h>

#include <string>
#include <string_view>

namespace velnor {
namespace {

constexpr std::int64_t NanosecondsPerTick = 100;

std::int64_t Nanoseconds(LARGE_INTEGER time) {
    return time.QuadPart * NanosecondsPerTick;
}

} // namespace

EntryKind EntryKindOf(DWORD attributes, DWORD reparseTag) {
    // Wine shows a Linux symbolic link as a reparse point without a tag
    // (which Windows never gives one): a link too.
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
        (reparseTag == 0 || IsReparseTagNameSurrogate(reparseTag))) {
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

FileInfo InfoOf(HANDLE file, const std::filesystem::path& path, bool withVolume) {
    FILE_BASIC_INFO basic{};
    ThrowIfFailed(GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic), path);
    FILE_STANDARD_INFO standard{};
    ThrowIfFailed(GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard),
                  path);
    FILE_INTERNAL_INFORMATION internal{};
    IO_STATUS_BLOCK io{};
    const NTSTATUS status =
        NtQueryInformationFile(file, &io, &internal, sizeof internal, FileInternalInformation);
    if (status != 0) {
        throw Win32Error(RtlNtStatusToDosError(status), path);
    }
    FileInfo result;
    result.Attributes = basic.FileAttributes;
    result.Index = static_cast<std::uint64_t>(internal.IndexNumber.QuadPart);
    result.Size = static_cast<std::uint64_t>(standard.EndOfFile.QuadPart);
    result.Created = basic.CreationTime;
    result.Written = basic.LastWriteTime;
    result.Changed = basic.ChangeTime;
    if ((basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        FILE_ATTRIBUTE_TAG_INFO tag{};
        ThrowIfFailed(GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag),
                      path);
        result.ReparseTag = tag.ReparseTag;
    }
    if (withVolume) {
        ThrowIfFailed(GetVolumeInformationByHandleW(file, nullptr, 0, &result.Volume, nullptr,
                                                    nullptr, nullptr, 0),
                      path);
    }
    return result;
}

FileStamp FileInfo::Stamp() const {
    return {0, Index, Size, Nanoseconds(Written), Nanoseconds(Changed)};
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

std::filesystem::path FinalPath(const std::filesystem::path& path) {
    const UniqueHandle folder(CreateFileW(LongPath(path).c_str(), FILE_READ_ATTRIBUTES, ShareAll,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                          nullptr));
    ThrowIfFailed(static_cast<bool>(folder), path);
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(folder.Get(), name.data(),
                                                       static_cast<DWORD>(name.size()), 0);
        ThrowIfFailed(length != 0, path);
        if (length < name.size()) {
            name.resize(length);
            break;
        }
        name.resize(length); // the length it needs, its NUL included
    }
    constexpr std::wstring_view Long = L"\\\\?\\";
    constexpr std::wstring_view LongShare = L"\\\\?\\UNC\\";
    if (name.starts_with(LongShare)) {
        return L"\\\\" + name.substr(LongShare.size());
    }
    return name.starts_with(Long) ? name.substr(Long.size()) : name;
}

} // namespace velnor
