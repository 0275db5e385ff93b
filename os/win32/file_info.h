#pragma once

#include "core/files/file_system.h"
#include "os/win32/unique_handle.h"
#include "os/win32/windows_api.h"

#include <cstdint>
#include <filesystem>

namespace velnor {

// What a name leads to, links never followed. A link is a reparse point that
// stands for another name (a symbolic link, a junction) or of no known kind;
// other reparse points (deduplicated or cloud files) are what their
// attributes say.
EntryKind EntryKindOf(DWORD attributes, DWORD reparseTag);

// What the system says of an open file.
struct FileInfo {
    DWORD Attributes = 0;
    DWORD ReparseTag = 0;
    DWORD Volume = 0;        // serial number
    std::uint64_t Index = 0; // the file on that volume
    std::uint64_t Size = 0;
    FILETIME Created{};

    EntryKind Kind() const { return EntryKindOf(Attributes, ReparseTag); }
    bool SameFile(const FileInfo& other) const {
        return Volume == other.Volume && Index == other.Index;
    }
};

FileInfo InfoOf(HANDLE file, const std::filesystem::path& path);

// Who the file is and when it last changed (times in nanoseconds since 1601).
FileStamp StampOf(HANDLE file, const FileInfo& info, const std::filesystem::path& path);

// Opens what path names itself, a link or a folder included; empty when the
// system refuses, GetLastError() telling why.
UniqueHandle OpenEntry(const std::filesystem::path& path, DWORD access, DWORD share,
                       DWORD flags = 0);

// OpenEntry, throwing the system's refusal.
UniqueHandle OpenEntryOrThrow(const std::filesystem::path& path, DWORD access, DWORD share,
                              DWORD flags = 0);

// The folder at path with every link on the way followed, as the system
// resolves it, in its plain form ("C:\site", not "\\?\C:\site").
std::filesystem::path FinalPath(const std::filesystem::path& path);

inline constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

} // namespace velnor
