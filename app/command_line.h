#pragma once

#include <filesystem>
#include <optional>

namespace velnor {

// What the window takes from its command line.
struct WindowCommandLine {
    std::optional<std::filesystem::path> folder; // FOLDER, as its own bytes
};

// Reads `velnor [--help] [--version] [FOLDER]` from argv. --help and --version
// print to standard output and end the program with status 0; a line that
// cannot be taken ends it with one line on standard error and status 2. None of
// this needs a display. Until the QApplication has taken Qt's own options
// (-platform, -style...) out of argv, a line with an option unknown here gives
// nothing: it is read again once qtOptionsTaken.
std::optional<WindowCommandLine> ReadCommandLine(int argc, char* argv[], bool qtOptionsTaken);

} // namespace velnor
