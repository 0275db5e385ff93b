#include "os/win32/nt_calls.h"

#include <cstring>
#include <vector>

extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE folder, HANDLE event, PVOID apc,
                                               PVOID apcContext, PIO_STATUS_BLOCK io, PVOID buffer,
                                               ULONG size, FILE_INFORMATION_CLASS kind,
                                               BOOLEAN single, PUNICODE_STRING mask,
                                               BOOLEAN restart);

namespace velnor {
namespace {

constexpr ULONG ObjectNameInformation = 1;

UNICODE_STRING Counted(std::wstring_view text) {
    UNICODE_STRING counted;
    counted.Buffer = const_cast<wchar_t*>(text.data());
    counted.Length = counted.MaximumLength = static_cast<USHORT>(text.size() * sizeof(wchar_t));
    return counted;
}

NTSTATUS Create(HANDLE root, std::wstring_view name, ACCESS_MASK access, ULONG share,
                ULONG disposition, ULONG options, UniqueHandle& opened,
                PSECURITY_DESCRIPTOR security) {
    UNICODE_STRING counted = Counted(name);
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &counted, OBJ_CASE_INSENSITIVE, root, security);
    IO_STATUS_BLOCK io{};
    HANDLE handle = nullptr;
    const NTSTATUS status = NtCreateFile(&handle, access | SYNCHRONIZE, &attributes, &io, nullptr,
                                         FILE_ATTRIBUTE_NORMAL, share, disposition,
                                         options | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    if (NT_SUCCESS(status))
        opened = UniqueHandle(handle);
    return status;
}

} // namespace

NTSTATUS OpenAt(HANDLE folder, std::wstring_view name, ACCESS_MASK access, ULONG share,
                ULONG disposition, ULONG options, UniqueHandle& opened,
                PSECURITY_DESCRIPTOR security) {
    return Create(folder, name, access, share, disposition, options, opened, security);
}

NTSTATUS OpenNtPath(std::wstring_view path, ACCESS_MASK access, ULONG options,
                    UniqueHandle& opened) {
    return Create(nullptr, path, access, ShareAll, FILE_OPEN, options, opened, nullptr);
}

NTSTATUS RenameTo(HANDLE entry, HANDLE folder, std::wstring_view to, bool replace) {
    const std::size_t bytes = to.size() * sizeof(wchar_t);
    std::vector<char> buffer(sizeof(FILE_RENAME_INFORMATION) + bytes);
    auto* rename = reinterpret_cast<FILE_RENAME_INFORMATION*>(buffer.data());
    rename->ReplaceIfExists = replace;
    rename->RootDirectory = folder;
    rename->FileNameLength = static_cast<ULONG>(bytes);
    std::memcpy(rename->FileName, to.data(), bytes);
    IO_STATUS_BLOCK io{};
    return NtSetInformationFile(entry, &io, rename, static_cast<ULONG>(buffer.size()),
                                FileRenameInformation);
}

NTSTATUS MarkForDeletion(HANDLE entry) {
    FILE_DISPOSITION_INFORMATION disposition{TRUE};
    IO_STATUS_BLOCK io{};
    return NtSetInformationFile(entry, &io, &disposition, sizeof disposition,
                                FileDispositionInformation);
}

NTSTATUS QueryFileName(HANDLE entry, std::wstring& name) {
    std::vector<char> buffer(sizeof(FILE_NAME_INFORMATION) + 512 * sizeof(wchar_t));
    while (true) {
        IO_STATUS_BLOCK io{};
        const NTSTATUS status = NtQueryInformationFile(
            entry, &io, buffer.data(), static_cast<ULONG>(buffer.size()), FileNameInformation);
        const auto* info = reinterpret_cast<const FILE_NAME_INFORMATION*>(buffer.data());
        if (status == STATUS_BUFFER_OVERFLOW &&
            buffer.size() < sizeof(FILE_NAME_INFORMATION) + info->FileNameLength) {
            buffer.resize(sizeof(FILE_NAME_INFORMATION) + info->FileNameLength);
            continue; // a long name: the length it needs came back
        }
        if (NT_SUCCESS(status))
            name.assign(info->FileName, info->FileNameLength / sizeof(wchar_t));
        return status;
    }
}

NTSTATUS QueryObjectName(HANDLE entry, std::wstring& name) {
    std::vector<char> buffer(sizeof(UNICODE_STRING) + 512 * sizeof(wchar_t));
    while (true) {
        ULONG needed = 0;
        const NTSTATUS status =
            NtQueryObject(entry, static_cast<OBJECT_INFORMATION_CLASS>(ObjectNameInformation),
                          buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if ((status == STATUS_BUFFER_OVERFLOW || status == STATUS_INFO_LENGTH_MISMATCH ||
             status == STATUS_BUFFER_TOO_SMALL) &&
            needed > buffer.size()) {
            buffer.resize(needed);
            continue;
        }
        if (NT_SUCCESS(status)) {
            const auto* counted = reinterpret_cast<const UNICODE_STRING*>(buffer.data());
            name.assign(counted->Buffer, counted->Length / sizeof(wchar_t));
        }
        return status;
    }
}

NTSTATUS QueryEntries(HANDLE folder, void* buffer, ULONG size, bool restart) {
    IO_STATUS_BLOCK io{};
    return NtQueryDirectoryFile(folder, nullptr, nullptr, nullptr, &io, buffer, size,
                                FileFullDirectoryInformation, FALSE, nullptr, restart);
}

} // namespace velnor
