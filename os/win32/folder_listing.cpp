#include "os/win32/folder_listing.h"

#include "os/win32/long_path.h"
#include "os/win32/win32_error.h"

#include <algorithm>

namespace velnor {
namespace {

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    ~FindHandle() { FindClose(handle_); }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

} // namespace

std::vector<ListedEntry> ListFolder(const std::filesystem::path& folder) {
    std::wstring pattern = LongPath(folder);
    if (!pattern.ends_with(L'\\')) {
        pattern += L'\\';
    }
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    const HANDLE first =
        FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                         FIND_FIRST_EX_LARGE_FETCH);
    std::vector<ListedEntry> entries;
    if (first == INVALID_HANDLE_VALUE) {
        // an empty drive root has not even "." and ".."
        if (GetLastError() == ERROR_FILE_NOT_FOUND) {
            return entries;
        }
        throw Win32Error(GetLastError(), folder);
    }
    const FindHandle search(first);
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..") {
            // the reparse tag comes in dwReserved0
            entries.push_back(
                {std::wstring(name), KindOf(found.dwFileAttributes, found.dwReserved0)});
        }
    } while (FindNextFileW(search.Get(), &found));
    if (GetLastError() != ERROR_NO_MORE_FILES) {
        throw Win32Error(GetLastError(), folder);
    }
    std::sort(entries.begin(), entries.end(),
              [](const ListedEntry& a, const ListedEntry& b) { return a.Name < b.Name; });
    return entries;
}

} // namespace velnor
