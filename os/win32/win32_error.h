#pragma once

#include "core/files/file_system.h"

#include <windows.h>
// <windows.h> names ReplaceFileA/W so; the service's own ReplaceFile must keep its name.
#undef ReplaceFile

#include <filesystem>
#include <system_error>

namespace velnor {

// Not yet in mingw's headers: "An operation is not supported on a directory."
inline constexpr DWORD ErrorDirectoryNotSupported = 336;

// Windows' error codes, described in the system's words (FormatMessageW, in
// the user's language) as UTF-8.
const std::error_category& Win32Category();

// The error the system reported for path: "<path>: <words>".
FileSystemError Win32Error(DWORD error, const std::filesystem::path& path);

// Throws Win32Error with GetLastError() when a call reported failure.
inline void ThrowIfFailed(bool succeeded, const std::filesystem::path& path) {
    if (!succeeded) {
        throw Win32Error(GetLastError(), path);
    }
}

} // namespace velnor
