#include "core/about/program_starter.h"

#include "core/text/ansi_codec.h"
#include "core/text/path_text.h"

#include <windows.h>

#include <string>
#include <system_error>

namespace velnor {

// The path is the whole command line, unquoted, as the registry gives it.
void StartProgram(std::u16string_view path) {
    CheckPathText(path);
    std::string commandLine = EncodeAnsi(path);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                "cannot start " + commandLine);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

} // namespace velnor
