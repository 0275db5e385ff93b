#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace velnor::cli {

// A command line that cannot be carried out as typed; exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct HelpArgs {};

struct VersionArgs {};

struct FilterArgs {
    bool keepSpaces = false;
    bool keepBreaks = false;
    bool stats = false;
    std::optional<std::string> file; // standard input when absent or "-"
};

struct RunArgs {
    std::string ext = "htm|html|asp";
    bool keepSpaces = false;
    bool keepBreaks = false;
    bool noBackup = false;
    bool yes = false;
    bool dryRun = false;
    std::string folder;
};

struct RestoreArgs {
    bool yes = false;
    std::string folder;
};

using CliArgs = std::variant<HelpArgs, VersionArgs, FilterArgs, RunArgs, RestoreArgs>;

// Parses the arguments after the program name. Throws UsageError with a
// one-line description.
CliArgs ParseArgs(const std::vector<std::string>& args);

} // namespace velnor::cli
