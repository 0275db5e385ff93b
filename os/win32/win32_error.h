#pragma once

#include "core/files/file_system.h"
#include "os/win32/windows_api.h"

#include <filesystem>
#include <system_error>

namespace velnor {

// Windows' error codes, described in the system's words (FormatMessageW, in
// the user's language) as UTF-8.
const std::error_category& Win32Category();

// The error the system reported for path: "<path>: <words>".
FileSystemError Win32Error(DWORD error, const std::filesystem::path& path);
// The same for a native call's status, in the words Win32 has for it.
FileSystemError NtError(NTSTATUS status, const std::filesystem::path& path);

// Throws Win32Error with GetLastError() when a call reported failure. The code
// is read first: making the exception calls into the runtime, which may clear it.
inline void ThrowIfFailed(bool succeeded, const std::filesystem::path& path) {
    if (!succeeded) {
        const DWORD error = GetLastError();
        throw Win32Error(error, path);
    }
}

inline void ThrowIfNtFailed(NTSTATUS status, const std::filesystem::path& path) {
    if (status < 0) // an error or a warning
        throw NtError(status, path);
}

} // namespace velnor
