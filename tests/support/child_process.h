#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velnor::test {

// Runs program with the arguments (UTF-8), its standard input a pipe that
// carries `input` and then ends (so it sees no terminal anywhere), its output
// and error into the files out and err; waits for it and returns its exit
// status, -1 when it did not exit by itself.
int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
               const std::string& input, const std::filesystem::path& out,
               const std::filesystem::path& err);

} // namespace velnor::test
