#include "core/run/run_driver.h"

#include "core/filter/page_compactor.h"
#include "core/identity.h"
#include "core/run/backup_restore.h"
#include "core/run/extension_list.h"
#include "core/run/page_writer.h"
#include "core/run/percent.h"
#include "core/text/ansi_codec.h"
#include "core/text/display_path.h"
#include "core/text/path_text.h"

#include <cstdint>
#include <limits>
#include <string>
#include <utility>

namespace velnor {

namespace {

constexpr std::uint64_t MaxFileLength = std::numeric_limits<std::int32_t>::max();

// Start and Restore are refused while either is under way; the flag drops
// however the work ends, a closed window's RunAbandoned included.
class RunningFlag {
public:
    explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningFlag() { flag_ = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

private:
    bool& flag_;
};

// The replacements of a run last through a crash once Start returns, however
// the run ended. Only the normal end reports a failed flush (it calls Flush
// itself): any other end already has its error to show.
class FlushAtEnd {
public:
    explicit FlushAtEnd(FileSystemService& fileSys) : fileSys_(fileSys) {}
    ~FlushAtEnd() {
        try {
            fileSys_.Flush();
        } catch (const std::exception&) {
        }
    }
    FlushAtEnd(const FlushAtEnd&) = delete;
    FlushAtEnd& operator=(const FlushAtEnd&) = delete;

private:
    FileSystemService& fileSys_;
};

MessageBoxRequest ErrorBox(const char* description, MessageIcon icon) {
    return {.text = description,
            .title = identity::ApplicationTitle,
            .buttons = MessageButtons::Ok,
            .icon = icon,
            .defaultButton = MessageAnswer::Ok};
}

// One page: read, decode, compact, encode, replace.
class PageWorker {
public:
    PageWorker(WindowSeam& window, BarGauges& gauges, RunCounters& counters,
               FileSystemService& fileSys, const RunSettings& settings, RunObserver* observer)
        : window_(window), gauges_(gauges), counters_(counters), fileSys_(fileSys),
          settings_(settings), observer_(observer) {}

    // Every page read and compacted, nothing written: a dry run.
    void CompactOnly(const std::vector<std::filesystem::path>& pages) {
        for (const auto& page : pages) {
            std::uint64_t before = 0;
            const std::string output = Compacted(page, before);
            Done(page, before, output.size());
        }
    }

    // Every page, each read while the ones before it are still being written.
    // An error ends the run with the pages before the failing one replaced and
    // it and the later ones not, as if each had been written in turn.
    void ProcessOverlapped(const std::vector<std::filesystem::path>& pages) {
        PageWriter writer(fileSys_, PageWriter::Limits{});
        try {
            for (const auto& page : pages) {
                std::uint64_t before = 0;
                std::string output = Compacted(page, before);
                const std::uint64_t after = output.size();
                writer.Write(page, readStamp_, std::move(output),
                             [this, page, before, after] { Done(page, before, after); });
            }
        } catch (...) {
            // the pages before the failing one, as if they had been written in turn
            writer.CommitAll();
            throw;
        }
        writer.CommitAll();
    }

private:
    // The whole page, its length within FileLength's 32 bits; the stamp of
    // what was read is kept for the page's replacement.
    std::string ReadPage(FileSystemService& fileSys, const std::filesystem::path& page) {
        PageBytes read = fileSys.ReadPage(page, MaxFileLength);
        readStamp_ = read.stamp;
        return std::move(read.bytes);
    }

    // The page's new content; before gets its length.
    std::string Compacted(const std::filesystem::path& page, std::uint64_t& before) {
        window_.SetStatus("正在工作: " + DisplayPath(page));
        const std::string bytes = ReadPage(fileSys_, page);
        before = bytes.size();
        if (!settings_.reportSteps) {
            // No step is reported: the bytes are filtered as they stand, and the
            // run's 32-bit counters, which only the window shows, stay out of
            // it, so no run is too large for the command line.
            PageCounts counts;
            return CompactPage(bytes, CurrentOptions(), counts);
        }
        return EncodeAnsi(
            CompactReporting(DecodeAnsi(bytes), static_cast<std::int32_t>(bytes.size())));
    }

    void Done(const std::filesystem::path& page, std::uint64_t before, std::uint64_t after) {
        if (observer_)
            observer_->PageDone(page, before, after);
    }

    RemovalOptions CurrentOptions() const {
        return RemovalOptions{window_.RemoveSpacesTicked(), window_.RemoveBreaksTicked()};
    }

    std::u16string CompactReporting(const std::u16string& text, std::int32_t fileLength) {
        // Positions count characters, FileLength bytes: two-byte text ends at 50.
        const double length = fileLength;
        return CompactText(
            text, [this] { return CurrentOptions(); }, counters_,
            [this, length](const StepReport& step) {
                gauges_.UpdateFileBar(NearestPercent(step.Position, length));
                gauges_.UpdatePackBar(NearestPercent(step.KeptInFile, length));
                window_.SetRatio(NearestPercent(step.KeptInRun, step.ScannedInRun));
                window_.Yield();
            });
    }

    WindowSeam& window_;
    BarGauges& gauges_;
    RunCounters& counters_;
    FileSystemService& fileSys_;
    const RunSettings& settings_;
    RunObserver* observer_;
    FileStamp readStamp_; // of the page Compacted read last
};

std::vector<std::filesystem::path> MatchingPages(const std::vector<std::filesystem::path>& found,
                                                 const std::vector<std::string>& extensions) {
    std::vector<std::filesystem::path> endings;
    for (const std::string& extension : extensions)
        endings.push_back(PathFromUtf8(extension));
    std::vector<std::filesystem::path> pages;
    for (const auto& path : found)
        if (!path.empty() && MatchesExtension(path, endings))
            pages.push_back(path);
    return pages;
}

} // namespace

RunDriver::RunDriver(WindowSeam& window, FileSystemFactory makeFileSystem, RunSettings settings,
                     RunObserver* observer)
    : window_(window), settings_(settings), observer_(observer), gauges_(window),
      finder_(window, std::move(makeFileSystem)) {}

CopyProgress RunDriver::Progress() {
    if (!observer_)
        return {};
    return [observer = observer_](std::uint64_t files, std::uint64_t bytes) {
        observer->Copied(files, bytes);
    };
}

RunResult RunDriver::Start() {
    if (running_)
        return {RunOutcome::Busy, {}};
    const RunningFlag running(running_);
    counters_ = RunCounters{};
    finder_.SetRemoveLeftovers(!settings_.dryRun);
    std::uint64_t unfinishedBackups = 0;
    try {
        // Kept for the folder test, the backup and the pages: FindFiles puts
        // an object of its own into FileSys.
        const std::shared_ptr<FileSystemService> fileSys = finder_.MakeFileSystem()();
        finder_.FileSys() = fileSys;

        // Read once: the backup, the search and the pages all concern this folder.
        const std::filesystem::path folder = window_.FolderPath();
        if (!fileSys->FolderExists(folder))
            return {RunOutcome::NoFolder, {}};
        // Held to the end: another run's pages or backup are never mixed with these.
        const std::unique_ptr<FolderLock> lock = fileSys->LockFolder(folder);
        if (!settings_.dryRun &&
            !BackUpFolder(window_, *fileSys, folder, Progress(), unfinishedBackups))
            return {RunOutcome::Declined, {}, unfinishedBackups};

        ExtList_ = SplitExtensions(window_.ExtensionText());
        finder_.FindFiles(folder);
        const auto pages = MatchingPages(finder_.FoundFiles(), ExtList_);
        if (observer_)
            observer_->PagesMatched(pages);

        const FlushAtEnd flushAtEnd(*fileSys);
        PageWorker worker(window_, gauges_, counters_, *fileSys, settings_, observer_);
        // Pages are flushed to disk on worker threads while the next ones are
        // compacted; each is put in place on this thread, in order, between
        // yields, so a close at a yield still finds every page whole.
        if (settings_.dryRun)
            worker.CompactOnly(pages);
        else
            worker.ProcessOverlapped(pages);
        fileSys->Flush();
        window_.SetStatus("已经完成任务.");
        return {RunOutcome::Done, {}, unfinishedBackups + finder_.LeftoversRemoved()};
    } catch (const RunAbandoned&) {
        return {RunOutcome::Abandoned, {}, unfinishedBackups + finder_.LeftoversRemoved()};
    } catch (const std::exception& error) {
        window_.ShowMessage(ErrorBox(error.what(), MessageIcon::Critical));
        return {RunOutcome::Failed, error.what(), unfinishedBackups + finder_.LeftoversRemoved()};
    }
}

RunResult RunDriver::Restore() {
    if (running_)
        return {RunOutcome::Busy, {}};
    const RunningFlag running(running_);
    std::uint64_t leftovers = 0;
    try {
        const std::shared_ptr<FileSystemService> fileSys = finder_.MakeFileSystem()();
        finder_.FileSys() = fileSys;
        const std::filesystem::path folder = window_.FolderPath();
        // a folder the restore is to make anew is guarded through the one around it
        const std::unique_ptr<FolderLock> lock =
            fileSys->LockFolder(fileSys->FolderExists(folder) ? folder : folder.parent_path());
        if (!RestoreFolder(window_, *fileSys, folder, Progress(), leftovers))
            return {RunOutcome::Declined, {}};
        return {RunOutcome::Done, {}, leftovers};
    } catch (const std::exception& error) {
        window_.ShowMessage(ErrorBox(error.what(), MessageIcon::None));
        return {RunOutcome::Failed, error.what(), leftovers};
    }
}

} // namespace velnor
