#include "core/io/stream_io.h"

#include "os/win32/console_text.h"
#include "os/win32/wide_text.h"
#include "os/win32/win32_error.h"
#include "os/win32/windows_api.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <system_error>

namespace velnor::io {
namespace {

constexpr DWORD MaxCall = 1 << 30; // ReadFile and WriteFile count in 32 bits

// The code is taken before anything else runs: building the exception calls
// into the runtime, which may clear it.
[[noreturn]] void ThrowLastError(const std::string& what) {
    const DWORD error = GetLastError();
    throw std::system_error(static_cast<int>(error), Win32Category(), what);
}

// The C library's descriptors (0, 1, 2 and those of _open) lead to handles.
HANDLE HandleOf(int fd, const std::string& name) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE) {
        throw std::system_error(ERROR_INVALID_HANDLE, Win32Category(), name);
    }
    return handle;
}

// Bytes read; 0 at end, which a pipe reports as broken once its writer is gone.
DWORD ReadFrom(HANDLE handle, char* buffer, std::size_t size, const std::string& name) {
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

} // namespace

InputFile::InputFile(const std::string& path) {
    const HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ThrowLastError(path);
    }
    // a descriptor of the C library, as the other streams are
    fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
    if (fd_ == -1) {
        CloseHandle(file);
        throw std::system_error(ERROR_TOO_MANY_OPEN_FILES, Win32Category(), path);
    }
}

InputFile::~InputFile() {
    _close(fd_); // closes the handle too
}

std::size_t ReadSome(int fd, char* buffer, std::size_t size, const std::string& name) {
    return ReadFrom(HandleOf(fd, name), buffer, size, name);
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
        WriteConsoleText(handle, text, name);
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
        if (ReadFrom(handle, &c, 1, "standard input") == 0) {
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

// A console that refuses the mode (before Windows 10) would show the escapes
// as they are.
bool TakesEscapes(int fd) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode))
        return false;
    if (!(mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING))
        SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    return GetConsoleMode(handle, &mode) && (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

// Started from a prompt, the console holds the prompt's process too.
bool InConsoleOfItsOwn() {
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1;
}

void WaitForKey(int fd) {
    const HANDLE handle = HandleOf(fd, "standard input");
    if (!IsConsole(handle)) {
        char c = 0;
        ReadFrom(handle, &c, 1, "standard input");
        return;
    }
    INPUT_RECORD record{};
    DWORD got = 0;
    while (ReadConsoleInputW(handle, &record, 1, &got) && got == 1) {
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown)
            return;
    }
}

} // namespace velnor::io
