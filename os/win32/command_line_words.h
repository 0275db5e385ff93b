#pragma once

#include <string>
#include <vector>

namespace velnor {

// The words of a command line after the program's name, as UTF-8, split as
// the C runtime splits them. A word whose one quote is its last character
// came from a backslash before a closing quote, as in "D:\" (Explorer passes
// a drive's root so): no name can hold a quote, so it is read as that
// backslash. Throws std::system_error when the line cannot be split.
std::vector<std::string> CommandLineWords(const std::wstring& commandLine);

} // namespace velnor
