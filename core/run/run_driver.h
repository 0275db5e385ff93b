#pragma once

#include "core/files/file_system.h"
#include "core/files/tree_copy.h"
#include "core/files/tree_walk.h"
#include "core/filter/compact_text.h"
#include "core/run/bar_gauges.h"
#include "core/run/modFindFiles.h"
#include "core/run/window_seam.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace velnor {

struct RunSettings {
    // The window reports every character (gauges, ratio, yield); the command
    // line takes the filter's fast path with the options read once per page.
    bool reportSteps = true;
    // Read and compact, write nothing: no backup, no page.
    bool dryRun = false;
};

// How a press of Start or Restore ended.
enum class RunOutcome {
    Done,      // every page rewritten, or the backup copied back
    NoFolder,  // the chosen folder does not exist: nothing happened
    Declined,  // the user answered No or Cancel to the question
    Failed,    // an error ended it; its description was shown
    Abandoned, // the window closed at a yield
    Busy,      // refused: a run or restore is already under way
};

struct RunResult {
    RunOutcome outcome = RunOutcome::Done;
    std::string description; // the error's, when Failed
    // What interrupted runs had left in the folder, its backup and beside
    // them, and this one removed.
    Leftovers leftovers;
};

// Optional listener for the command line's progress bar and summary.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    // The pages about to be compacted; totalBytes measures them all, which
    // costs a look at each.
    virtual void PagesMatched(std::uint64_t pages,
                              const std::function<std::uint64_t()>& totalBytes) {
        (void)pages, (void)totalBytes;
    }
    virtual void PageDone(const std::filesystem::path& page, std::uint64_t bytesBefore,
                          std::uint64_t bytesAfter) {
        (void)page, (void)bytesBefore, (void)bytesAfter;
    }
    // During the copy of a backup or a restore, after each file.
    virtual void Copied(std::uint64_t files, std::uint64_t bytes) { (void)files, (void)bytes; }
};

// What Start (Command1) and Restore (Command2) do.
class RunDriver {
public:
    RunDriver(WindowSeam& window, FileSystemFactory makeFileSystem, RunSettings settings = {},
              RunObserver* observer = nullptr);

    // Each catches every error and shows it: Start with the critical-stop
    // icon, Restore with none. Each holds the folder's lock from before its
    // first change (Restore: after its question) to its end; a folder that
    // another run or restore holds is such an error.
    RunResult Start();
    RunResult Restore();

    bool Running() const { return running_; }
    BarGauges& Gauges() { return gauges_; }

private:
    CopyProgress Progress();

    WindowSeam& window_;
    FileSystemFactory makeFileSystem_;
    RunSettings settings_;
    RunObserver* observer_;
    BarGauges gauges_;
    modFindFiles finder_;
    std::vector<std::string> ExtList_;
    RunCounters counters_;
    Leftovers leftovers_; // of the run under way
    bool running_ = false;
};

} // namespace velnor
