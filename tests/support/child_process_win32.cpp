#include "tests/support/child_process.h"

#include "core/text/utf8.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <thread>

namespace velnor::test {
namespace {

std::wstring Wide(const std::string& utf8) {
    const std::optional<std::u16string> text = Utf8ToUtf16(utf8);
    if (!text)
        throw std::invalid_argument("not UTF-8: " + utf8);
    return std::wstring(text->begin(), text->end());
}

// One argument as CommandLineToArgvW and the C runtime take it apart again.
std::wstring Quoted(const std::wstring& arg) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // backslashes before a quote are doubled, and the quote escaped
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

HANDLE Inheritable(const std::filesystem::path& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot create " + path.string());
    return file;
}

} // namespace

int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
               const std::string& input, const std::filesystem::path& out,
               const std::filesystem::path& err) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE feedRead = nullptr;
    HANDLE feedWrite = nullptr;
    if (!CreatePipe(&feedRead, &feedWrite, &inherit, 0))
        throw std::runtime_error("cannot make a pipe");
    SetHandleInformation(feedWrite, HANDLE_FLAG_INHERIT, 0); // the child's end only
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = feedRead;
    startup.hStdOutput = Inheritable(out);
    startup.hStdError = Inheritable(err);
    std::wstring line = Quoted(program.wstring());
    for (const std::string& arg : args)
        line += L" " + Quoted(Wide(arg));
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    for (const HANDLE handle : {feedRead, startup.hStdOutput, startup.hStdError})
        CloseHandle(handle);
    if (!started) {
        CloseHandle(feedWrite);
        throw std::runtime_error("cannot start " + program.string());
    }
    // fed alongside: the child may answer before it has read everything
    std::thread writer([&] {
        for (std::size_t at = 0; at < input.size();) {
            DWORD put = 0;
            const DWORD size =
                static_cast<DWORD>(std::min<std::size_t>(input.size() - at, 1 << 16));
            if (!WriteFile(feedWrite, input.data() + at, size, &put, nullptr) || put == 0)
                break; // the child stopped reading
            at += put;
        }
        CloseHandle(feedWrite);
    });
    WaitForSingleObject(process.hProcess, INFINITE);
    writer.join();
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}

} // namespace velnor::test
