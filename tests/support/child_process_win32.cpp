#include "tests/support/child_process.h"

#include "core/text/utf8.h"

#include <windows.h>

#include <optional>
#include <stdexcept>

namespace velnor::test {
namespace {

// One argument as CommandLineToArgvW and the C runtime take it apart again.
std::wstring Quoted(const std::u16string& arg) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const char16_t c : arg) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        // backslashes before a quote are doubled, and the quote escaped
        quoted.append(c == u'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += static_cast<wchar_t>(c);
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

HANDLE Inherited(const std::filesystem::path& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE file = CreateFileW(path.c_str(), access, FILE_SHARE_READ, &inherit, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open " + path.string());
    return file;
}

} // namespace

int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
               const std::filesystem::path& in, const std::filesystem::path& out,
               const std::filesystem::path& err) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = Inherited(in, GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = Inherited(out, GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = Inherited(err, GENERIC_WRITE, CREATE_ALWAYS);
    std::wstring line = Quoted(program.u16string());
    for (const std::string& arg : args)
        line += L" " + Quoted(Utf8ToUtf16(arg).value());
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    for (const HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
        CloseHandle(handle);
    if (!started)
        throw std::runtime_error("cannot start " + program.string());
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}

} // namespace velnor::test
