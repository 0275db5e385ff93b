#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velnor::test {

// Runs program with the arguments (UTF-8), its standard streams the files in,
// out and err (so it sees no terminal anywhere); waits for it and returns its
// exit status, -1 when it did not exit by itself.
int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
               const std::filesystem::path& in, const std::filesystem::path& out,
               const std::filesystem::path& err);

} // namespace velnor::test
