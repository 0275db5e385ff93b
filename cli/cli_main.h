#pragma once

#include "cli/cli_streams.h"
#include "cli/run_progress.h"
#include "core/files/file_system.h"

#include <string>
#include <vector>

namespace velnor::cli {

inline constexpr int kExitUsage = 2;

// The whole command: `args` are the arguments after the program name. Every
// failure is reported on streams.err as one line; returns the exit status.
int RunCli(const std::vector<std::string>& args, const CliStreams& streams,
           const FileSystemFactory& fileSystem, const Clock& clock);

// The text of --help.
const std::string& HelpText();

} // namespace velnor::cli
