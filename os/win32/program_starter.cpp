#include "core/about/program_starter.h"

#include "core/text/path_text.h"
#include "os/win32/wide_text.h"
#include "os/win32/win32_error.h"
#include "os/win32/windows_api.h"

#include <string>
#include <system_error>

namespace velnor {

// The path is the whole command line, unquoted, as the registry gives it.
void StartProgram(std::u16string_view path) {
    CheckPathText(path);
    std::wstring commandLine = Wide(path);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        const DWORD error = GetLastError(); // before the exception is made
        throw std::system_error(static_cast<int>(error), Win32Category(),
                                "cannot start " + Utf8FromWide(commandLine));
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

} // namespace velnor
