#pragma once

#include <string>
#include <vector>

namespace velnor::io {

// The arguments after the program's name as main received them, as text: on
// Windows UTF-8, taken from the wide command line (argv there is in the ANSI
// code page, which cannot spell every name); elsewhere the bytes as given.
// From the OS layer.
std::vector<std::string> ProgramArguments(int argc, char** argv);

} // namespace velnor::io
