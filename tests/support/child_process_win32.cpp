#include "tests/support/child_process.h"

#include "tests/support/windows_process.h"

#include <stdexcept>

namespace velnor::test {
namespace {

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
    std::wstring line = CommandLineOf(program, args);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    for (const HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
        CloseHandle(handle);
    if (!started)
        throw std::runtime_error("cannot start " + program.string());
    return ExitStatusOf(process);
}

} // namespace velnor::test
