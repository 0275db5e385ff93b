#include "core/run/run_driver.h"

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
#include <system_error>
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

[[noreturn]] void ThrowTooLarge(const std::filesystem::path& page) {
    throw FileSystemError(DisplayPath(page) + ": page is larger than " +
                          std::to_string(MaxFileLength) + " bytes");
}

// The whole page; its length must fit FileLength's 32 bits.
std::string ReadPage(FileSystemService& fileSys, const std::filesystem::path& page) {
    // Looked at first so a huge file is refused without reading it; a failure
    // here is left to the read, which reports it in its own words.
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(page, error);
    if (!error && size > MaxFileLength)
        ThrowTooLarge(page);
    std::string bytes = fileSys.ReadWholeFile(page);
    if (bytes.size() > MaxFileLength)
        ThrowTooLarge(page);
    return bytes;
}

// One page: read, decode, compact, encode, replace.
class PageWorker {
public:
    PageWorker(WindowSeam& window, BarGauges& gauges, RunCounters& counters,
               FileSystemService& fileSys, const RunSettings& settings, RunObserver* observer)
        : window_(window), gauges_(gauges), counters_(counters), fileSys_(fileSys),
          settings_(settings), observer_(observer) {}

    // Every page in turn, each replaced before the next is read.
    void ProcessInTurn(const std::vector<std::filesystem::path>& pages) {
        for (const auto& page : pages) {
            std::uint64_t before = 0;
            const std::string output = Compacted(page, before);
            // One atomic replace: a close at a yield finds every page whole.
            if (!settings_.dryRun)
                fileSys_.ReplaceFile(page, output);
            Done(page, before, output.size());
        }
    }

    // Every page, each read while the ones before it are still being written.
    // The outcome is that of ProcessInTurn: an error ends the run with the
    // pages before the failing one replaced and it and the later ones not.
    void ProcessOverlapped(const std::vector<std::filesystem::path>& pages) {
        PageWriter writer(fileSys_, PageWriter::Limits{});
        try {
            for (const auto& page : pages) {
                std::uint64_t before = 0;
                std::string output = Compacted(page, before);
                const std::uint64_t after = output.size();
                writer.Write(page, std::move(output),
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
    // The page's new content; before gets its length.
    std::string Compacted(const std::filesystem::path& page, std::uint64_t& before) {
        window_.SetStatus("正在工作: " + DisplayPath(page));
        const std::string bytes = ReadPage(fileSys_, page);
        before = bytes.size();
        const std::u16string text = DecodeAnsi(bytes);
        const std::u16string compacted =
            settings_.reportSteps ? CompactReporting(text, static_cast<std::int32_t>(bytes.size()))
                                  : CompactText(text, CurrentOptions(), counters_);
        return EncodeAnsi(compacted);
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

RunResult RunDriver::Start() {
    if (running_)
        return {RunOutcome::Busy, {}};
    const RunningFlag running(running_);
    counters_ = RunCounters{};
    try {
        // Kept for the folder test, the backup and the pages: FindFiles puts
        // an object of its own into FileSys.
        const std::shared_ptr<FileSystemService> fileSys = finder_.MakeFileSystem()();
        finder_.FileSys() = fileSys;

        // Read once: the backup, the search and the pages all concern this folder.
        const std::filesystem::path folder = window_.FolderPath();
        if (!fileSys->FolderExists(folder))
            return {RunOutcome::NoFolder, {}};
        if (!settings_.dryRun && !BackUpFolder(window_, *fileSys, folder))
            return {RunOutcome::Declined, {}};

        ExtList_ = SplitExtensions(window_.ExtensionText());
        finder_.FindFiles(folder);
        const auto pages = MatchingPages(finder_.FoundFiles(), ExtList_);
        if (observer_)
            observer_->PagesMatched(pages);

        const FlushAtEnd flushAtEnd(*fileSys);
        PageWorker worker(window_, gauges_, counters_, *fileSys, settings_, observer_);
        // The window's run yields at every character and stays on one thread.
        if (settings_.reportSteps || settings_.dryRun)
            worker.ProcessInTurn(pages);
        else
            worker.ProcessOverlapped(pages);
        fileSys->Flush();
        window_.SetStatus("已经完成任务.");
        return {RunOutcome::Done, {}};
    } catch (const RunAbandoned&) {
        return {RunOutcome::Abandoned, {}};
    } catch (const std::exception& error) {
        window_.ShowMessage(ErrorBox(error.what(), MessageIcon::Critical));
        return {RunOutcome::Failed, error.what()};
    }
}

RunResult RunDriver::Restore() {
    if (running_)
        return {RunOutcome::Busy, {}};
    const RunningFlag running(running_);
    try {
        const std::shared_ptr<FileSystemService> fileSys = finder_.MakeFileSystem()();
        finder_.FileSys() = fileSys;
        if (!RestoreFolder(window_, *fileSys, window_.FolderPath()))
            return {RunOutcome::Declined, {}};
        return {RunOutcome::Done, {}};
    } catch (const std::exception& error) {
        window_.ShowMessage(ErrorBox(error.what(), MessageIcon::None));
        return {RunOutcome::Failed, error.what()};
    }
}

} // namespace velnor
