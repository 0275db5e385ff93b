#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace velnor::test {

// The command line CreateProcessW takes for program and its arguments (UTF-8),
// each quoted whole: the tests pass no quotes and no trailing backslashes.
std::wstring CommandLineOf(const std::filesystem::path& program,
                           const std::vector<std::string>& args);

// Waits a minute at most for the process to end, then closes its handles: its
// exit status, or -1 when it had to be ended (a test must never hang).
int ExitStatusOf(const PROCESS_INFORMATION& process);

} // namespace velnor::test
