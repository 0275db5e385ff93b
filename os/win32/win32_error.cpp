#include "os/win32/win32_error.h"

#include "core/text/display_path.h"
#include "os/win32/wide_text.h"

#include <winternl.h>

#include <string>

namespace velnor {
namespace {

class Win32ErrorCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "win32"; }

    std::string message(int code) const override {
        wchar_t* text = nullptr;
        const DWORD length = FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
        if (length == 0) {
            return "error " + std::to_string(static_cast<DWORD>(code));
        }
        std::wstring words(text, length);
        LocalFree(text);
        // the system's sentences end in a line break, which a message box or a
        // terminal line must not carry
        while (!words.empty() &&
               (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' ')) {
            words.pop_back();
        }
        return Utf8FromWide(words);
    }
};

} // namespace

const std::error_category& Win32Category() {
    static const Win32ErrorCategory category;
    return category;
}

FileSystemError Win32Error(DWORD error, const std::filesystem::path& path) {
    return FileSystemError(DisplayPath(path) + ": " +
                           Win32Category().message(static_cast<int>(error)));
}

FileSystemError NtError(NTSTATUS status, const std::filesystem::path& path) {
    return Win32Error(RtlNtStatusToDosError(status), path);
}

} // namespace velnor
