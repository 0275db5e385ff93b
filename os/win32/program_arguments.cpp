#include "core/io/program_arguments.h"

#include "os/win32/wide_text.h"

#include "os/win32/win32_error.h"

#include <shellapi.h>
#include <windows.h>

#include <system_error>

namespace velnor::io {

std::vector<std::string> ProgramArguments(int, char**) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        throw std::system_error(static_cast<int>(GetLastError()), Win32Category(),
                                "the command line");
    }
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(Utf8FromWide(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

} // namespace velnor::io
