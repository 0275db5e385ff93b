#include "core/run/run_driver.h"

#include "core/files/folder_cursor.h"
#include "core/files/page_replace.h"
#include "core/files/user_folder.h"
#include "core/filter/page_compactor.h"
#include "core/identity.h"
#include "core/run/backup_restore.h"
#include "core/run/extension_list.h"
#include "core/run/page_writer.h"
#include "core/run/percent.h"
#include "core/text/ansi_codec.h"
#include "core/text/display_path.h"
#include "core/text/path_text.h"

#include <algorithm>
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
    explicit FlushAtEnd(PageReplacer& replacer) : replacer_(replacer) {}
    ~FlushAtEnd() {
        try {
            replacer_.Flush();
        } catch (const std::exception&) {
        }
    }
    FlushAtEnd(const FlushAtEnd&) = delete;
    FlushAtEnd& operator=(const FlushAtEnd&) = delete;

private:
    PageReplacer& replacer_;
};

MessageBoxRequest ErrorBox(const char* description, MessageIcon icon) {
    return {.text = description,
            .title = identity::ApplicationTitle,
            .buttons = MessageButtons::Ok,
            .icon = icon,
            .defaultButton = MessageAnswer::Ok};
}

// One page: read, decode, compact, encode, replace. Pages are reached from
// the scanned folder one name at a time, as the scan found them.
class PageWorker {
public:
    PageWorker(WindowSeam& window, BarGauges& gauges, RunCounters& counters,
               const RunSettings& settings, RunObserver* observer, const FoundFileList& found,
               std::shared_ptr<FolderHandle> root)
        : window_(window), gauges_(gauges), counters_(counters), settings_(settings),
          observer_(observer), found_(found), cursor_(std::move(root), found.Folders()) {}

    // Every page read and compacted, nothing written: a dry run.
    void CompactOnly(const std::vector<std::size_t>& pages) {
        for (const std::size_t page : pages) {
            std::uint64_t before = 0;
            const std::string output = Compacted(page, before);
            Done(page, before, output.size());
        }
    }

    // Every page, each read while the ones before it are still being written.
    // An error ends the run with the pages before the failing one replaced and
    // it and the later ones not, as if each had been written in turn.
    void ProcessOverlapped(const std::vector<std::size_t>& pages) {
        PageWriter writer(PageWriter::Limits{});
        const FlushAtEnd flushAtEnd(replacer_);
        try {
            for (const std::size_t page : pages) {
                std::uint64_t before = 0;
                std::string output = Compacted(page, before);
                const std::size_t after = output.size();
                const FoundFileList::File& file = found_.FileAt(page);
                writer.Write(replacer_.Start(folder_, file.name, readStamp_, std::move(output)),
                             after, [this, page, before, after] { Done(page, before, after); });
            }
        } catch (...) {
            // the pages before the failing one, as if they had been written in turn
            writer.CommitAll();
            throw;
        }
        writer.CommitAll();
        replacer_.Flush();
    }

private:
    // The page's new content; before gets its length. The stamp of what was
    // read and its folder are kept for the page's replacement.
    std::string Compacted(std::size_t page, std::uint64_t& before) {
        const FoundFileList::File& file = found_.FileAt(page);
        folder_ = cursor_.Reach(file.folder);
        window_.SetStatus("正在工作: " + DisplayPath(folder_->PathOf(file.name)));
        PageBytes read = ReadPage(*folder_, file.name, MaxFileLength);
        readStamp_ = read.stamp;
        before = read.bytes.size();
        if (!settings_.reportSteps) {
            // No step is reported: the bytes are filtered as they stand, and the
            // run's 32-bit counters, which only the window shows, stay out of
            // it, so no run is too large for the command line.
            PageCounts counts;
            return CompactPage(read.bytes, CurrentOptions(), counts);
        }
        return EncodeAnsi(
            CompactReporting(DecodeAnsi(read.bytes), static_cast<std::int32_t>(read.bytes.size())));
    }

    void Done(std::size_t page, std::uint64_t before, std::uint64_t after) {
        if (observer_)
            observer_->PageDone(found_[page], before, after);
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
    const RunSettings& settings_;
    RunObserver* observer_;
    const FoundFileList& found_;
    FolderCursor cursor_;
    PageReplacer replacer_;
    std::shared_ptr<FolderHandle> folder_; // of the page Compacted read last
    FileStamp readStamp_;
};

// The found files whose names end in one of the extensions, by index.
std::vector<std::size_t> MatchingPages(const FoundFileList& found,
                                       const std::vector<std::string>& extensions) {
    const ExtensionMatcher matcher(extensions);
    std::vector<std::size_t> pages;
    for (std::size_t i = 0; i < found.FileCount(); ++i) {
        if (matcher.Matches(found.FileAt(i).name, [&found, i] { return found[i]; }))
            pages.push_back(i);
    }
    return pages;
}

// What the pages weigh, looked at through their folders.
std::uint64_t TotalBytes(const FoundFileList& found, const std::vector<std::size_t>& pages,
                         const std::shared_ptr<FolderHandle>& root) {
    FolderCursor cursor(root, found.Folders());
    std::uint64_t total = 0;
    for (const std::size_t page : pages) {
        try {
            const FoundFileList::File& file = found.FileAt(page);
            total += cursor.Reach(file.folder)->Info(file.name).stamp.size;
        } catch (const FileSystemError&) {
            // a page that cannot be measured here is the run's to report
        }
    }
    return total;
}

} // namespace

RunDriver::RunDriver(WindowSeam& window, FileSystemFactory makeFileSystem, RunSettings settings,
                     RunObserver* observer)
    : window_(window), makeFileSystem_(std::move(makeFileSystem)), settings_(settings),
      observer_(observer), gauges_(window), finder_(window) {}

CopyProgress RunDriver::Progress() {
    if (!observer_)
        return {};
    return [observer = observer_](std::uint64_t files, std::uint64_t bytes) {
        observer->Copied(files, bytes);
    };
}

RunResult RunDriver::Start() {
    if (running_)
        return {RunOutcome::Busy, {}, {}};
    const RunningFlag running(running_);
    counters_ = RunCounters{};
    leftovers_ = {};
    try {
        const std::shared_ptr<FileSystemService> fileSys = makeFileSystem_();
        // Read once: the backup, the search and the pages all concern this folder.
        const std::filesystem::path path = window_.FolderPath();
        if (!fileSys->FolderExists(path))
            return {RunOutcome::NoFolder, {}, {}};
        const UserFolder folder = OpenUserFolder(*fileSys, path);
        if (!folder.folder)
            return {RunOutcome::NoFolder, {}, {}};
        // Held to the end: another run's pages or backup are never mixed with these.
        const std::unique_ptr<FolderLock> lock = folder.folder->Lock(true);
        if (!settings_.dryRun) {
            leftovers_ += RemoveUnfinished(folder);
            if (!BackUpFolder(window_, folder, Progress(), leftovers_))
                return {RunOutcome::Declined, {}, leftovers_};
            // the backup holds the folder as it was opened: no other is to be compacted
            CheckStillThere(*fileSys, folder);
        }

        ExtList_ = SplitExtensions(window_.ExtensionText());
        finder_.FindFiles(*folder.folder,
                          {.removeLeftovers = !settings_.dryRun, .leaveOut = BackupInside(folder)},
                          leftovers_);
        const FoundFileList& found = finder_.FoundFiles();
        const std::vector<std::size_t> pages = MatchingPages(found, ExtList_);
        if (observer_)
            observer_->PagesMatched(pages.size(),
                                    [&] { return TotalBytes(found, pages, folder.folder); });

        PageWorker worker(window_, gauges_, counters_, settings_, observer_, found, folder.folder);
        // Pages are flushed to disk on worker threads while the next ones are
        // compacted; each is put in place on this thread, in order, between
        // yields, so a close at a yield still finds every page whole.
        if (settings_.dryRun)
            worker.CompactOnly(pages);
        else
            worker.ProcessOverlapped(pages);
        window_.SetStatus("已经完成任务.");
        return {RunOutcome::Done, {}, leftovers_};
    } catch (const RunAbandoned&) {
        return {RunOutcome::Abandoned, {}, leftovers_};
    } catch (const std::exception& error) {
        window_.ShowMessage(ErrorBox(error.what(), MessageIcon::Critical));
        return {RunOutcome::Failed, error.what(), leftovers_};
    }
}

RunResult RunDriver::Restore() {
    if (running_)
        return {RunOutcome::Busy, {}, {}};
    const RunningFlag running(running_);
    Leftovers leftovers;
    try {
        const std::shared_ptr<FileSystemService> fileSys = makeFileSystem_();
        if (!RestoreFolder(window_, *fileSys, window_.FolderPath(), Progress(), leftovers))
            return {RunOutcome::Declined, {}, {}};
        return {RunOutcome::Done, {}, leftovers};
    } catch (const std::exception& error) {
        window_.ShowMessage(ErrorBox(error.what(), MessageIcon::None));
        return {RunOutcome::Failed, error.what(), leftovers};
    }
}

} // namespace velnor
