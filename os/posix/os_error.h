#pragma once

#include "core/files/file_system.h"

#include <filesystem>
#include <string_view>

namespace velnor {

// The error the system reported for path, in its own words: "<path>: <words>".
FileSystemError OsError(int error, const std::filesystem::path& path);

// Throws OsError when a low-level call reported a failure.
inline void ThrowIfFailed(int error, const std::filesystem::path& path) {
    if (error != 0) {
        throw OsError(error, path);
    }
}

} // namespace velnor
