#include "tests/support/child_process.h"

#include "core/text/utf8.h"

#include <windows.h>

#include <optional>
#include <stdexcept>

namespace velnor::test {
namespace {

// The tests pass no quotes and no trailing backslashes, so quoting each
// argument whole is enough for CommandLineToArgvW and the C runtime.
std::wstring Quoted(const std::u16string& arg) {
    return L"\"" + std::wstring(arg.begin(), arg.end()) + L"\"";
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
