#include "core/io/program_arguments.h"

#include "os/win32/command_line_words.h"
#include "os/win32/windows_api.h"

namespace velnor::io {

std::vector<std::string> ProgramArguments(int, char**) {
    return CommandLineWords(GetCommandLineW());
}

} // namespace velnor::io
