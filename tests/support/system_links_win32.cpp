#include "tests/support/system_links.h"

#include "tests/support/wine_linux.h"

#include <windows.h>

#include <stdexcept>

namespace velnor::test {

bool CanMakeLinks() {
    return UnderWine();
}

void MakeSystemLink(const std::filesystem::path& link, const std::filesystem::path& target) {
    if (!CanMakeLinks())
        throw std::runtime_error("Windows makes no links without a privilege");
    RunLinux({L"/bin/ln", L"-s", L"--", LinuxPath(target), LinuxPath(link)});
}

bool IsLink(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

void RemoveLinkedTree(const std::filesystem::path& root) {
    try {
        RunLinux({L"/bin/rm", L"-rf", L"--", LinuxPath(root)});
    } catch (const std::runtime_error&) {
        // a tree that cannot be removed is left, as remove_all leaves one
    }
}

} // namespace velnor::test
