#include "run/run_driver.h"

#include "platform/ansi_codec.h"
#include "platform/identity.h"
#include "run/backup_restore.h"
#include "run/display_path.h"
#include "run/extension_list.h"
#include "run/percent.h"

#include <cstdint>
#include <limits>
#include <system_error>

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

MessageBoxRequest ErrorBox(const char* description, MessageIcon icon) {
    MessageBoxRequest box;
    box.text = description;
    box.title = identity::ApplicationTitle;
    box.buttons = MessageButtons::Ok;
    box.icon = icon;
    box.defaultButton = MessageAnswer::Ok;
    return box;
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

    void Process(const std::filesystem::path& page) {
        window_.SetStatus("正在工作: " + DisplayPath(page));
        const std::string bytes = ReadPage(fileSys_, page);
        const std::u16string text = DecodeAnsi(bytes);
        const std::u16string compacted =
            settings_.reportSteps ? CompactReporting(text, static_cast<std::int32_t>(bytes.size()))
                                  : CompactText(text, CurrentOptions(), counters_);
        const std::string output = EncodeAnsi(compacted);
        // One atomic replace: a close at a yield finds every page whole.
        if (!settings_.dryRun)
            fileSys_.ReplaceFile(page, output);
        if (observer_)
            observer_->PageDone(page, bytes.size(), output.size());
    }

private:
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
                window_.SetRatio(PercentCaption(NearestPercent(step.KeptInRun, step.ScannedInRun)));
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
    std::vector<std::filesystem::path> pages;
    for (const auto& path : found)
        if (!path.empty() && MatchesExtension(path.native(), extensions))
            pages.push_back(path);
    return pages;
}

} // namespace

RunDriver::RunDriver(WindowSeam& window, FileSystemFactory makeFileSystem, RunSettings settings,
                     RunObserver* observer)
    : window_(window), settings_(settings), observer_(observer), gauges_(window),
      finder_(window, std::move(makeFileSystem)) {}

void RunDriver::Start() {
    if (running_)
        return;
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
            return;
        if (!settings_.dryRun && !BackUpFolder(window_, *fileSys, folder))
            return;

        ExtList_ = SplitExtensions(window_.ExtensionText());
        finder_.FindFiles(folder);
        const auto pages = MatchingPages(finder_.FoundFiles(), ExtList_);
        if (observer_)
            observer_->PagesMatched(pages);

        PageWorker worker(window_, gauges_, counters_, *fileSys, settings_, observer_);
        for (const auto& page : pages)
            worker.Process(page);
        window_.SetStatus("已经完成任务.");
    } catch (const std::exception& error) {
        window_.ShowMessage(ErrorBox(error.what(), MessageIcon::Critical));
    }
}

void RunDriver::Restore() {
    if (running_)
        return;
    const RunningFlag running(running_);
    try {
        const std::shared_ptr<FileSystemService> fileSys = finder_.MakeFileSystem()();
        finder_.FileSys() = fileSys;
        RestoreFolder(window_, *fileSys, window_.FolderPath());
    } catch (const std::exception& error) {
        window_.ShowMessage(ErrorBox(error.what(), MessageIcon::None));
    }
}

} // namespace velnor
