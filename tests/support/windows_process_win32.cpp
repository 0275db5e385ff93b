#include "tests/support/windows_process.h"

#include "core/text/utf8.h"

namespace velnor::test {
namespace {

std::wstring Quoted(const std::u16string& arg) {
    return L"\"" + std::wstring(arg.begin(), arg.end()) + L"\"";
}

} // namespace

std::wstring CommandLineOf(const std::filesystem::path& program,
                           const std::vector<std::string>& args) {
    std::wstring line = Quoted(program.u16string());
    for (const std::string& arg : args)
        line += L" " + Quoted(Utf8ToUtf16(arg).value());
    return line;
}

int ExitStatusOf(const PROCESS_INFORMATION& process) {
    DWORD status = 0;
    if (WaitForSingleObject(process.hProcess, 60'000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &status);
    } else {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, INFINITE);
        status = static_cast<DWORD>(-1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}

} // namespace velnor::test
