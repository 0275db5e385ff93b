#include "platform/program_starter.h"

#include "platform/ansi_codec.h"
#include "platform/path_text.h"

#include <QProcess>

#include <stdexcept>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace velnor {

#ifdef _WIN32

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

#else

// Detached, so the program outlives the About box and leaves no zombie behind.
void StartProgram(std::u16string_view path) {
    const std::string program = PosixPath(path);
    QProcess process;
    process.setProgram(QString::fromStdString(program));
    if (!process.startDetached()) {
        throw std::runtime_error("cannot start " + program + ": " +
                                 process.errorString().toStdString());
    }
}

#endif

} // namespace velnor
