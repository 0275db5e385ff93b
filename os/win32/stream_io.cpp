#include "core/io/stream_io.h"

#include "os/win32/wide_text.h"
#include "os/win32/win32_error.h"

#include <io.h>
#include <windows.h>

#include <algorithm>
#include <system_error>

namespace velnor::io {
namespace {

constexpr std::size_t FirstChunk = 64 * 1024;
constexpr DWORD MaxCall = 1 << 30; // ReadFile and WriteFile count in 32 bits

[[noreturn]] void ThrowLastError(const std::string& what) {
    throw std::system_error(static_cast<int>(GetLastError()), Win32Category(), what);
}

// The C library's descriptors (0, 1, 2 and those of _open) lead to handles.
HANDLE HandleOf(int fd, const std::string& name) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE) {
        throw std::system_error(ERROR_INVALID_HANDLE, Win32Category(), name);
    }
    return handle;
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

// Bytes read; 0 at end, which a pipe reports as broken once its writer is gone.
DWORD ReadSome(HANDLE handle, char* buffer, std::size_t size, const std::string& name) {
    DWORD got = 0;
    if (!::ReadFile(handle, buffer, static_cast<DWORD>(std::min<std::size_t>(size, MaxCall)), &got,
                    nullptr)) {
        if (GetLastError() == ERROR_BROKEN_PIPE) {
            return 0;
        }
        ThrowLastError(name);
    }
    return got;
}

class HandleGuard {
public:
    explicit HandleGuard(HANDLE handle) : handle_(handle) {}
    ~HandleGuard() { CloseHandle(handle_); }
    HandleGuard(const HandleGuard&) = delete;
    HandleGuard& operator=(const HandleGuard&) = delete;

private:
    HANDLE handle_;
};

std::string ReadAllOf(HANDLE handle, const std::string& name) {
    // One byte more than a disk file's size, so its end is seen by the first
    // read that returns 0 and the buffer need not grow.
    LARGE_INTEGER size{};
    const bool sized = GetFileType(handle) == FILE_TYPE_DISK && GetFileSizeEx(handle, &size);
    std::string bytes(sized ? static_cast<std::size_t>(size.QuadPart) + 1 : FirstChunk, '\0');
    std::size_t length = 0;
    for (;;) {
        if (length == bytes.size()) {
            bytes.resize(bytes.size() * 2);
        }
        const DWORD got = ReadSome(handle, bytes.data() + length, bytes.size() - length, name);
        if (got == 0) {
            bytes.resize(length);
            return bytes;
        }
        length += got;
    }
}

} // namespace

std::string ReadAll(int fd, const std::string& name) {
    return ReadAllOf(HandleOf(fd, name), name);
}

std::string ReadFile(const std::string& path) {
    const HANDLE handle = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        ThrowLastError(path);
    }
    const HandleGuard guard(handle);
    return ReadAllOf(handle, path);
}

void WriteAll(int fd, std::string_view bytes, const std::string& name) {
    const HANDLE handle = HandleOf(fd, name);
    if (IsConsole(handle)) {
        // A console shows UTF-16; bytes written to it would be read in its code
        // page. A byte that is no UTF-8 shows as U+FFFD rather than stopping the line.
        std::wstring text(bytes.size(), L'\0');
        text.resize(static_cast<std::size_t>(
            MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                text.data(), static_cast<int>(text.size()))));
        std::wstring_view rest = text;
        while (!rest.empty()) {
            DWORD put = 0;
            if (!WriteConsoleW(handle, rest.data(),
                               static_cast<DWORD>(std::min<std::size_t>(rest.size(), MaxCall)),
                               &put, nullptr)) {
                ThrowLastError(name);
            }
            rest.remove_prefix(put);
        }
        return;
    }
    while (!bytes.empty()) {
        DWORD put = 0;
        if (!::WriteFile(handle, bytes.data(),
                         static_cast<DWORD>(std::min<std::size_t>(bytes.size(), MaxCall)), &put,
                         nullptr)) {
            ThrowLastError(name);
        }
        bytes.remove_prefix(put);
    }
}

bool ReadLine(int fd, std::string& line) {
    const HANDLE handle = HandleOf(fd, "standard input");
    line.clear();
    // Byte by byte, so nothing typed after the answer is taken from the stream.
    for (;;) {
        char c = 0;
        if (ReadSome(handle, &c, 1, "standard input") == 0) {
            return !line.empty();
        }
        if (c == '\n') {
            return true;
        }
        line.push_back(c);
    }
}

bool IsTerminal(int fd) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    return handle != INVALID_HANDLE_VALUE && IsConsole(handle);
}

} // namespace velnor::io
