#include "core/io/program_arguments.h"

namespace velnor::io {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

} // namespace velnor::io
