#pragma once

#include "cli/cli_args.h"
#include "cli/cli_streams.h"
#include "cli/run_progress.h"
#include "core/files/file_system.h"

#include <filesystem>
#include <string>

namespace velnor::cli {

// Exit statuses of run and restore beyond 0 (done) and 2 (usage).
inline constexpr int kExitFailed = 1;
inline constexpr int kExitDeclined = 3;

// The folder as the run sees it: as the system resolves it (links and ".."
// taken physically) and without a trailing separator, so that its ".bak"
// sibling is a sibling and not a folder inside it.
std::filesystem::path NormalFolder(const std::string& folder);

// `velnor-cli run`: one run over FOLDER, the summary on standard output.
int RunRun(const RunArgs& args, const CliStreams& streams, const FileSystemFactory& fileSystem,
           const Clock& clock);

// `velnor-cli restore`: the backup copied back over FOLDER.
int RunRestore(const RestoreArgs& args, const CliStreams& streams,
               const FileSystemFactory& fileSystem, const Clock& clock);

// The closing line of a run, without line end.
std::string FormatSummary(const RunTally& tally, bool dryRun, std::chrono::duration<double> took);

} // namespace velnor::cli
