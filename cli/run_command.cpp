#include "cli/run_command.h"

#include "cli/terminal_seam.h"
#include "core/io/stream_io.h"
#include "core/run/run_driver.h"

#include <cstdio>
#include <stdexcept>

namespace velnor::cli {
namespace {

// What the run shows in the status label when it has gone through every page.
const std::string kRunFinished = "已经完成任务.";

std::string GroupDigits(std::uint64_t value) {
    const std::string digits = std::to_string(value);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped += ',';
        }
        grouped += digits[i];
    }
    return grouped;
}

std::string Pages(std::uint64_t count) {
    return std::to_string(count) + (count == 1 ? " page" : " pages");
}

void Say(const CliStreams& streams, const std::string& line) {
    io::WriteAll(streams.err, "velnor-cli: " + line + "\n", "standard error");
}

} // namespace

std::filesystem::path NormalFolder(const std::string& folder) {
    std::filesystem::path normal = std::filesystem::absolute(folder).lexically_normal();
    if (!normal.has_filename() && normal != normal.root_path()) {
        normal = normal.parent_path();
    }
    return normal;
}

std::string FormatSummary(const RunTally& tally, bool dryRun, std::chrono::duration<double> took) {
    double kept = 100.0;
    if (tally.bytesBefore > 0) {
        kept =
            100.0 * static_cast<double>(tally.bytesAfter) / static_cast<double>(tally.bytesBefore);
    }
    char tail[64];
    std::snprintf(tail, sizeof tail, " bytes (%.1f%% kept) in %.2f s", kept, took.count());
    std::string bytes =
        GroupDigits(tally.bytesBefore) + " → " + GroupDigits(tally.bytesAfter) + tail;
    if (dryRun) {
        return "dry run, nothing written: " + Pages(tally.pagesDone) + " would be rewritten, " +
               bytes;
    }
    return "rewrote " + Pages(tally.pagesDone) + ", " + bytes;
}

int RunRun(const RunArgs& args, const CliStreams& streams, const FileSystemFactory& fileSystem,
           const Clock& clock) {
    const auto started = clock();
    const std::filesystem::path folder = NormalFolder(args.folder);

    RunProgress progress(streams.errIsTerminal ? streams.err : -1, clock);
    SeamSettings settings{folder,           args.ext,       !args.keepSpaces,
                          !args.keepBreaks, !args.noBackup, args.yes};
    TerminalSeam seam(settings, streams, &progress, clock);
    RunDriver driver(seam, fileSystem, RunSettings{.reportSteps = false, .dryRun = args.dryRun},
                     &progress);
    driver.Start();
    progress.Clear();

    const RunTally& tally = progress.Tally();
    if (seam.Failed()) {
        if (tally.pagesDone > 0 && !args.dryRun) {
            Say(streams, Pages(tally.pagesDone) + " had been rewritten before the error");
        }
        return kExitFailed;
    }
    if (seam.Declined()) {
        Say(streams, "declined; nothing was changed");
        return kExitDeclined;
    }
    // The window's run ends silently, before the backup, when the folder is
    // missing; a command must not report that as a run done.
    if (seam.Status() != kRunFinished) {
        throw std::runtime_error(folder.string() + ": no such folder");
    }
    const auto took = clock() - started - seam.AnswerWait();
    io::WriteAll(streams.out, FormatSummary(tally, args.dryRun, took) + "\n", "standard output");
    return 0;
}

int RunRestore(const RestoreArgs& args, const CliStreams& streams,
               const FileSystemFactory& fileSystem) {
    SeamSettings settings;
    settings.folder = NormalFolder(args.folder);
    settings.backup = false;
    settings.assumeYes = args.yes;
    TerminalSeam seam(settings, streams, nullptr, [] { return std::chrono::steady_clock::now(); });
    RunDriver driver(seam, fileSystem, RunSettings{.reportSteps = false, .dryRun = false});
    driver.Restore();

    if (seam.Failed()) {
        return kExitFailed;
    }
    if (seam.Declined()) {
        Say(streams, "declined; nothing was changed");
        return kExitDeclined;
    }
    return 0;
}

} // namespace velnor::cli
