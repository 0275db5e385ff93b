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
    DWORD Volume = 0;        // serial number, when asked for
    std::uint64_t Index = 0; // the file on its volume
    std::uint64_t Size = 0;
    LARGE_INTEGER Created{};
    LARGE_INTEGER Written{};
    LARGE_INTEGER Changed{}; // content or attributes

    EntryKind Kind() const { return EntryKindOf(Attributes, ReparseTag); }
    bool SameFile(const FileInfo& other) const {
        return Volume == other.Volume && Index == other.Index;
    }
    // Who the file is and when it last changed (times in nanoseconds since
    // 1601). The volume is left out: a page under one name stays on its
    // volume, and asking Wine for it costs as much as all the rest.
    FileStamp Stamp() const;
};

// The volume's serial number, which identity across volumes needs, only when
// asked for: Wine answers it slowly.
FileInfo InfoOf(HANDLE file, const std::filesystem::path& path, bool withVolume = false);

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
