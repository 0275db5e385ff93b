#include "os/win32/long_path.h"

#include "os/win32/win32_error.h"

#include <string_view>

namespace velnor {

std::wstring LongPath(const std::filesystem::path& path) {
    constexpr std::wstring_view Long = L"\\\\?\\";
    constexpr std::wstring_view LongShare = L"\\\\?\\UNC\\";
    const std::wstring& given = path.native();
    // An empty path names no file here either, rather than the current folder.
    if (given.empty()) {
        throw Win32Error(ERROR_FILE_NOT_FOUND, path);
    }
    if (given.starts_with(Long)) {
        return given;
    }
    const std::wstring full =
        (path.is_absolute() ? path : std::filesystem::absolute(path)).lexically_normal().native();
    if (full.starts_with(L"\\\\")) {
        return std::wstring(LongShare) + full.substr(2);
    }
    return std::wstring(Long) + full;
}

} // namespace velnor
