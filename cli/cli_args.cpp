#include "cli/cli_args.h"

#include <map>

namespace velnor::cli {
namespace {

// One subcommand's options: switches set a flag, valued options take the next
// argument (or the text after "=").
struct OptionTable {
    std::map<std::string, bool*> switches;
    std::map<std::string, std::string*> valued;
};

struct Parsed {
    bool help = false;
    std::vector<std::string> operands;
};

Parsed ParseOptions(const std::string& command, const std::vector<std::string>& args,
                    const OptionTable& table) {
    Parsed parsed;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            parsed.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (auto eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            inlineValue = arg.substr(eq + 1);
        }
        if (auto it = table.valued.find(name); it != table.valued.end()) {
            if (inlineValue) {
                *it->second = *inlineValue;
            } else if (i + 1 < args.size()) {
                *it->second = args[++i];
            } else {
                throw UsageError(command + ": option '" + name + "' needs a value");
            }
            continue;
        }
        if (auto it = table.switches.find(name); it != table.switches.end() && !inlineValue) {
            *it->second = true;
            continue;
        }
        throw UsageError(command + ": unknown option '" + arg + "'");
    }
    return parsed;
}

std::string OneFolder(const std::string& command, const std::vector<std::string>& operands) {
    if (operands.empty()) {
        throw UsageError(command + ": missing FOLDER");
    }
    if (operands.size() > 1) {
        throw UsageError(command + ": only one FOLDER may be given, got '" + operands[1] + "'");
    }
    if (operands[0].empty()) {
        throw UsageError(command + ": FOLDER is empty");
    }
    return operands[0];
}

CliArgs ParseFilter(const std::vector<std::string>& args) {
    FilterArgs filter;
    OptionTable table;
    table.switches = {{"--keep-spaces", &filter.keepSpaces},
                      {"--keep-breaks", &filter.keepBreaks},
                      {"--stats", &filter.stats}};
    Parsed parsed = ParseOptions("filter", args, table);
    if (parsed.help) {
        return HelpArgs{};
    }
    if (parsed.operands.size() > 1) {
        throw UsageError("filter: only one FILE may be given, got '" + parsed.operands[1] + "'");
    }
    if (!parsed.operands.empty() && parsed.operands[0] != "-") {
        filter.file = parsed.operands[0];
    }
    return filter;
}

CliArgs ParseRun(const std::vector<std::string>& args) {
    RunArgs run;
    OptionTable table;
    table.switches = {{"--keep-spaces", &run.keepSpaces},
                      {"--keep-breaks", &run.keepBreaks},
                      {"--no-backup", &run.noBackup},
                      {"--yes", &run.yes},
                      {"--dry-run", &run.dryRun}};
    table.valued = {{"--ext", &run.ext}};
    Parsed parsed = ParseOptions("run", args, table);
    if (parsed.help) {
        return HelpArgs{};
    }
    run.folder = OneFolder("run", parsed.operands);
    return run;
}

CliArgs ParseRestore(const std::vector<std::string>& args) {
    RestoreArgs restore;
    OptionTable table;
    table.switches = {{"--yes", &restore.yes}};
    Parsed parsed = ParseOptions("restore", args, table);
    if (parsed.help) {
        return HelpArgs{};
    }
    restore.folder = OneFolder("restore", parsed.operands);
    return restore;
}

} // namespace

CliArgs ParseArgs(const std::vector<std::string>& args) {
    if (args.empty()) {
        throw UsageError("missing command (filter, run or restore)");
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        return HelpArgs{};
    }
    if (command == "--version") {
        if (args.size() > 1) {
            throw UsageError("--version takes no arguments, got '" + args[1] + "'");
        }
        return VersionArgs{};
    }
    if (command == "filter") {
        return ParseFilter(args);
    }
    if (command == "run") {
        return ParseRun(args);
    }
    if (command == "restore") {
        return ParseRestore(args);
    }
    throw UsageError("unknown command '" + command + "'");
}

} // namespace velnor::cli
