#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velnor::test {

// Runs program with the arguments (UTF-8), its standard streams the files in,
// out and err (no terminal anywhere); its exit status, -1 if it did not exit.
int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
               const std::filesystem::path& in, const std::filesystem::path& out,
               const std::filesystem::path& err);

} // namespace velnor::test
