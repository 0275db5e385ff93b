#include "cli/run_command.h"

#include "cli/terminal_seam.h"
#include "core/files/physical_path.h"
#include "core/io/stream_io.h"
#include "core/run/run_driver.h"
#include "core/text/display_path.h"
#include "core/text/path_text.h"

#include <cstdio>
#include <stdexcept>

namespace velnor::cli {
namespace {

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

void SayLeftovers(const CliStreams& streams, const Leftovers& removed) {
    if (removed.files > 0) {
        Say(streams, "removed " + GroupDigits(removed.files) + " temporary " +
                         (removed.files == 1 ? "file" : "files") + " left by an interrupted run");
    }
    if (removed.copies > 0) {
        Say(streams, "removed " + GroupDigits(removed.copies) + " unfinished folder " +
                         (removed.copies == 1 ? "copy" : "copies") + " (" +
                         GroupDigits(removed.filesInCopies) +
                         (removed.filesInCopies == 1 ? " file" : " files") +
                         ") left by an interrupted backup or restore");
    }
}

} // namespace

std::filesystem::path NormalFolder(const std::string& folder) {
    return PhysicalPath(PathFromUtf8(folder));
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

    RunProgress progress(streams.errIsTerminal ? streams.err : -1, clock, streams.errTakesEscapes);
    SeamSettings settings{folder,           args.ext,       !args.keepSpaces,
                          !args.keepBreaks, !args.noBackup, args.yes};
    TerminalSeam seam(settings, streams, &progress, clock);
    RunDriver driver(seam, fileSystem, RunSettings{.reportSteps = false, .dryRun = args.dryRun},
                     &progress);
    const RunResult result = driver.Start();
    progress.Clear();
    SayLeftovers(streams, result.leftovers);

    const RunTally& tally = progress.Tally();
    switch (result.outcome) {
    case RunOutcome::Done:
        break;
    case RunOutcome::Failed:
        if (tally.pagesDone > 0 && !args.dryRun) {
            Say(streams, Pages(tally.pagesDone) + " had been rewritten before the error");
        }
        return kExitFailed;
    case RunOutcome::Declined:
        Say(streams, "declined; nothing was changed");
        return kExitDeclined;
    case RunOutcome::NoFolder:
        // The window's run ends silently; a command must not report that as a run done.
        throw std::runtime_error(DisplayPath(folder) + ": no such folder");
    case RunOutcome::Abandoned:
    case RunOutcome::Busy:
        return kExitFailed;
    }
    const auto took = clock() - started - seam.AnswerWait();
    io::WriteAll(streams.out, FormatSummary(tally, args.dryRun, took) + "\n", "standard output");
    return 0;
}

int RunRestore(const RestoreArgs& args, const CliStreams& streams,
               const FileSystemFactory& fileSystem, const Clock& clock) {
    SeamSettings settings;
    settings.folder = NormalFolder(args.folder);
    settings.backup = false;
    settings.assumeYes = args.yes;
    RunProgress progress(streams.errIsTerminal ? streams.err : -1, clock, streams.errTakesEscapes);
    TerminalSeam seam(settings, streams, &progress, clock);
    RunDriver driver(seam, fileSystem, RunSettings{.reportSteps = false, .dryRun = false},
                     &progress);
    const RunResult result = driver.Restore();
    progress.Clear();
    SayLeftovers(streams, result.leftovers);
    switch (result.outcome) {
    case RunOutcome::Done:
        return 0;
    case RunOutcome::Declined:
        Say(streams, "declined; nothing was changed");
        return kExitDeclined;
    default:
        return kExitFailed;
    }
}

} // namespace velnor::cli
