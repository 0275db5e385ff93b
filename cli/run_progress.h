#pragma once

#include "core/run/run_driver.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace velnor::cli {

using Clock = std::function<std::chrono::steady_clock::time_point()>;

// What a run has done so far, for the progress bar and the summary.
struct RunTally {
    std::uint64_t pagesTotal = 0;
    std::uint64_t bytesTotal = 0; // sizes of the matched pages when they were found
    std::uint64_t pagesDone = 0;
    std::uint64_t bytesBefore = 0;
    std::uint64_t bytesAfter = 0;
};

// Tallies the pages of a run and, when given a terminal, keeps one progress
// line on it: while a backup or restore copies, files and bytes copied and the
// rate; then pages and bytes done of the total, rate and time left. The line
// is redrawn from its start; the rest of a longer line before it is wiped by
// an escape sequence or, on a terminal that takes none, by blanks.
class RunProgress : public RunObserver {
public:
    // drawFd < 0: tally only, draw nothing.
    RunProgress(int drawFd, Clock clock, bool escapes);

    void PagesMatched(std::uint64_t pages,
                      const std::function<std::uint64_t()>& totalBytes) override;
    void PageDone(const std::filesystem::path& page, std::uint64_t bytesBefore,
                  std::uint64_t bytesAfter) override;
    void Copied(std::uint64_t files, std::uint64_t bytes) override;

    // Wipes the progress line so other text can take its place.
    void Clear();

    const RunTally& Tally() const { return tally_; }

    // The progress line for a tally after `elapsed` (no line end).
    static std::string FormatLine(const RunTally& tally, std::chrono::duration<double> elapsed);
    // The line while a copy goes on.
    static std::string FormatCopyLine(std::uint64_t files, std::uint64_t bytes,
                                      std::chrono::duration<double> elapsed);

private:
    void Draw(bool force);

    int drawFd_;
    Clock clock_;
    bool escapes_;
    std::size_t shownWidth_ = 0; // of the line on the terminal, without escapes
    RunTally tally_;
    bool copying_ = false;
    std::uint64_t filesCopied_ = 0;
    std::uint64_t bytesCopied_ = 0;
    std::chrono::steady_clock::time_point start_{};
    std::chrono::steady_clock::time_point lastDraw_{};
    bool drawn_ = false;
};

} // namespace velnor::cli
