#pragma once

#include "core/files/folder_handle.h"
#include "os/win32/windows_api.h"

#include <cstdint>

namespace velnor {

// What a name leads to, links never followed. A link is a reparse point that
// stands for another name (a symbolic link, a junction) or of no known kind,
// as Wine shows a Linux symbolic link to a folder; other reparse points
// (deduplicated or cloud files) are what their attributes say.
EntryKind EntryKindOf(DWORD attributes, DWORD reparseTag);

// What the system says of an open file or folder.
struct HandleInfo {
    DWORD Attributes = 0;
    DWORD ReparseTag = 0;
    std::uint64_t Index = 0; // the file on its volume
    std::uint64_t Size = 0;
    std::uint64_t Links = 1;
    LARGE_INTEGER Created{};
    LARGE_INTEGER Written{};
    LARGE_INTEGER Changed{}; // content or attributes

    EntryKind Kind() const { return EntryKindOf(Attributes, ReparseTag); }
    // Who the file is and when it last changed, times in nanoseconds since
    // 1601. The volume is left out: a page keeps its volume under its name,
    // and Wine answers the volume's serial slowly.
    FileStamp Stamp() const;
    EntryInfo Entry() const { return {Kind(), Stamp(), Links}; }
};

// The status of the first query that failed, if any.
NTSTATUS QueryInfo(HANDLE handle, HandleInfo& info);

} // namespace velnor
