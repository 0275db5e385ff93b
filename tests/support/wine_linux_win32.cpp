#include "tests/support/wine_linux.h"

#include "core/text/display_path.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace velnor::test {
namespace {

using UnixName = char*(CDECL*)(const wchar_t* name);

// Wine's own call for the Linux name of a Windows path; none on Windows.
UnixName UnixNameCall() {
    return reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
}

std::wstring Wide(const std::string& utf8) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
    return wide;
}

// In single quotes for the shell: nothing in them is special but the quote.
std::wstring Quoted(const std::wstring& word) {
    std::wstring quoted = L"'";
    for (const wchar_t c : word)
        quoted += c == L'\'' ? std::wstring(L"'\\''") : std::wstring(1, c);
    return quoted + L"'";
}

std::string Contents(const std::filesystem::path& file) {
    std::ostringstream contents;
    contents << std::ifstream(file).rdbuf();
    return contents.str();
}

void ThrowIfFalse(bool succeeded) {
    if (!succeeded)
        throw std::runtime_error("cannot start a Linux program");
}

} // namespace

bool UnderWine() {
    return UnixNameCall() != nullptr;
}

std::wstring LinuxPath(const std::filesystem::path& path) {
    if (!path.is_absolute())
        return path.generic_wstring();
    char* name = UnderWine() ? UnixNameCall()(path.c_str()) : nullptr;
    if (name == nullptr)
        throw std::runtime_error("no Linux name for " + DisplayPath(path));
    const std::string converted = name;
    HeapFree(GetProcessHeap(), 0, name);
    return Wide(converted);
}

std::string RunLinux(std::initializer_list<std::wstring> words) {
    // Wine starts a Linux program without a handle to wait on: a shell leaves
    // the program's status in a file, whole once renamed into place, and the
    // test waits for that file.
    static int runs = 0;
    wchar_t folder[MAX_PATH];
    ThrowIfFalse(GetTempPathW(MAX_PATH, folder) != 0);
    const std::filesystem::path base =
        std::filesystem::path(folder) / (L"velnor-linux-" + std::to_wstring(GetCurrentProcessId()) +
                                         L"-" + std::to_wstring(++runs));
    const std::filesystem::path output = base.native() + L".out";
    const std::filesystem::path status = base.native() + L".status";
    std::wstring script;
    for (const std::wstring& word : words)
        script += Quoted(word) + L" ";
    script += L">" + Quoted(LinuxPath(output)) + L"; echo $? >" + Quoted(LinuxPath(base)) +
              L" && mv " + Quoted(LinuxPath(base)) + L" " + Quoted(LinuxPath(status));
    std::wstring line = L"/bin/sh -c \"" + script + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ThrowIfFalse(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                &startup, &process));
    for (int wait = 0; wait < 3000 && GetFileAttributesW(status.c_str()) == INVALID_FILE_ATTRIBUTES;
         ++wait)
        Sleep(10);
    const std::string code = Contents(status);
    std::string out = Contents(output);
    DeleteFileW(status.c_str());
    DeleteFileW(output.c_str());
    if (code != "0\n")
        throw std::runtime_error("a Linux program failed: " + DisplayPath(line));
    return out;
}

unsigned ModeOf(const std::filesystem::path& path) {
    return static_cast<unsigned>(
        std::stoul(RunLinux({L"/usr/bin/stat", L"-c", L"%a", LinuxPath(path)}), nullptr, 8));
}

void SetMode(const std::filesystem::path& path, unsigned mode) {
    wchar_t octal[8];
    std::swprintf(octal, std::size(octal), L"%o", mode);
    RunLinux({L"/bin/chmod", octal, LinuxPath(path)});
}

} // namespace velnor::test
