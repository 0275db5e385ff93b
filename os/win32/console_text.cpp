#include "os/win32/console_text.h"

#include "os/win32/win32_error.h"

#include <algorithm>
#include <system_error>

namespace velnor {
namespace {

// Older consoles refuse a single write of more than 64 KB.
constexpr std::size_t Piece = 8192;

} // namespace

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

void WriteConsoleText(HANDLE console, std::wstring_view text, const std::string& name) {
    while (!text.empty()) {
        std::size_t size = std::min(text.size(), Piece);
        if (size < text.size() && IS_HIGH_SURROGATE(text[size - 1]))
            --size;
        DWORD put = 0;
        if (!WriteConsoleW(console, text.data(), static_cast<DWORD>(size), &put, nullptr)) {
            const DWORD error = GetLastError(); // before the exception is made
            throw std::system_error(static_cast<int>(error), Win32Category(), name);
        }
        text.remove_prefix(put);
    }
}

} // namespace velnor
