#pragma once

#include "os/win32/unique_handle.h"

#include <windows.h>

#include <cstdint>
#include <filesystem>

namespace velnor {

// What a name leads to, links never followed. A link is a reparse point that
// stands for another name (a symbolic link, a junction); other reparse points
// (deduplicated or cloud files) are what their attributes say.
enum class EntryKind { Missing, Folder, File, Link, Other };

EntryKind KindOf(DWORD attributes, DWORD reparseTag);

// What the system says of an open file.
struct FileInfo {
    DWORD Attributes = 0;
    DWORD ReparseTag = 0;
    DWORD Volume = 0;        // serial number
    std::uint64_t Index = 0; // the file on that volume
    std::uint64_t Size = 0;
    FILETIME Created{};
    FILETIME Written{};

    EntryKind Kind() const { return KindOf(Attributes, ReparseTag); }
};

FileInfo InfoOf(HANDLE file, const std::filesystem::path& path);

// Opens what path names itself, a link or a folder included; empty when the
// system refuses, GetLastError() telling why.
UniqueHandle OpenEntry(const std::filesystem::path& path, DWORD access, DWORD share,
                       DWORD flags = 0);

// OpenEntry, throwing the system's refusal.
UniqueHandle OpenEntryOrThrow(const std::filesystem::path& path, DWORD access, DWORD share,
                              DWORD flags = 0);

inline constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

} // namespace velnor
