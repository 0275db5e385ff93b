#include "app/win32_command_line.h"

#include "core/identity.h"
#include "core/text/path_text.h"

#include <algorithm>

namespace velnor {
namespace {

constexpr int ExitUsage = 2; // as velnor-cli's

// As the Qt window of Linux words it, with Windows' "-?" and "/?".
const char* const Help =
    "Usage: velnor [options] [FOLDER]\n"
    "Removes redundant whitespace from the web pages of a folder, in place, with a backup.\n"
    "\n"
    "Options:\n"
    "  -?, -h, --help  Displays help on commandline options.\n"
    "  -v, --version   Displays version information.\n"
    "\n"
    "Arguments:\n"
    "  FOLDER          The folder to open instead of the one used last.\n";

WindowRequest Refuse(const std::string& what) {
    return {std::nullopt, "velnor: " + what + " (see 'velnor --help')\n", ExitUsage};
}

} // namespace

WindowRequest ReadWindowArguments(const std::vector<std::string>& args) {
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (optionsEnded || arg.size() < 2 || (arg[0] != '-' && arg != "/?")) {
            operands.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-?" || arg == "/?" || arg == "-h" || arg == "--help") {
            return {std::nullopt, Help, 0};
        } else if (arg == "-v" || arg == "--version") {
            return {std::nullopt, std::string("velnor ") + identity::VersionText + "\n", 0};
        } else {
            const std::size_t name = std::min(arg.find_first_not_of('-'), arg.size());
            return Refuse("Unknown option '" + arg.substr(name) + "'.");
        }
    }
    if (operands.size() > 1)
        return Refuse("only one FOLDER may be given, got '" + operands[1] + "'");
    if (operands.empty())
        return {};
    if (operands[0].empty())
        return Refuse("FOLDER is empty");
    return {PathFromUtf8(operands[0]), "", 0};
}

} // namespace velnor
