#include "os/win32/handle_info.h"

#include "os/win32/nt_calls.h"

namespace velnor {
namespace {

constexpr std::int64_t NanosecondsPerTick = 100;

std::int64_t Nanoseconds(LARGE_INTEGER time) {
    return time.QuadPart * NanosecondsPerTick;
}

template <typename Info> NTSTATUS Query(HANDLE handle, Info& info, FILE_INFORMATION_CLASS kind) {
    IO_STATUS_BLOCK io{};
    return NtQueryInformationFile(handle, &io, &info, sizeof info, kind);
}

} // namespace

EntryKind EntryKindOf(DWORD attributes, DWORD reparseTag) {
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
        (reparseTag == 0 || IsReparseTagNameSurrogate(reparseTag)))
        return EntryKind::Link;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return EntryKind::Folder;
    if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0)
        return EntryKind::Other;
    return EntryKind::File;
}

FileStamp HandleInfo::Stamp() const {
    return {0, Index, Size, Nanoseconds(Written), Nanoseconds(Changed)};
}

NTSTATUS QueryInfo(HANDLE handle, HandleInfo& info) {
    FILE_BASIC_INFORMATION basic{};
    FILE_STANDARD_INFORMATION standard{};
    FILE_INTERNAL_INFORMATION internal{};
    NTSTATUS status = Query(handle, basic, FileBasicInformation);
    if (NT_SUCCESS(status))
        status = Query(handle, standard, FileStandardInformation);
    if (NT_SUCCESS(status))
        status = Query(handle, internal, FileInternalInformation);
    if (!NT_SUCCESS(status))
        return status;
    info.Attributes = basic.FileAttributes;
    info.Index = static_cast<std::uint64_t>(internal.IndexNumber.QuadPart);
    info.Size = static_cast<std::uint64_t>(standard.EndOfFile.QuadPart);
    info.Links = standard.NumberOfLinks;
    info.Created = basic.CreationTime;
    info.Written = basic.LastWriteTime;
    info.Changed = basic.ChangeTime;
    info.ReparseTag = 0;
    if ((basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return status;
    FILE_ATTRIBUTE_TAG_INFO tag{};
    status = Query(handle, tag, FileAttributeTagInformation);
    info.ReparseTag = tag.ReparseTag;
    return status;
}

} // namespace velnor
