#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velnor {

// What velnor.exe is asked by `velnor [--help] [--version] [FOLDER]`: to open
// the window (on FOLDER when given), or only to answer and end.
struct WindowRequest {
    std::optional<std::filesystem::path> folder;
    std::string answer; // the help, the version or a usage error, with its line end
    int status = 0;     // 2 after a usage error, as on Linux
};

// From the arguments after the program's name, in UTF-8.
WindowRequest ReadWindowArguments(const std::vector<std::string>& args);

} // namespace velnor
