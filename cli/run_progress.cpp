#include "cli/run_progress.h"

#include "core/io/stream_io.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace velnor::cli {
namespace {

constexpr auto kRedrawEvery = std::chrono::milliseconds(100);
constexpr int kBarCells = 20;

std::string Megabytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / 1e6);
    return text;
}

std::string MinutesSeconds(double seconds) {
    auto whole = static_cast<long long>(std::ceil(seconds));
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

} // namespace

RunProgress::RunProgress(int drawFd, Clock clock, bool escapes)
    : drawFd_(drawFd), clock_(std::move(clock)), escapes_(escapes) {
    start_ = clock_();
}

void RunProgress::PagesMatched(std::uint64_t pages,
                               const std::function<std::uint64_t()>& totalBytes) {
    copying_ = false;
    tally_.pagesTotal = pages;
    tally_.bytesTotal = 0;
    if (drawFd_ < 0) {
        return;
    }
    // Only the bar needs the sizes up front.
    tally_.bytesTotal = totalBytes();
    start_ = clock_();
    Draw(true);
}

void RunProgress::PageDone(const std::filesystem::path&, std::uint64_t bytesBefore,
                           std::uint64_t bytesAfter) {
    ++tally_.pagesDone;
    tally_.bytesBefore += bytesBefore;
    tally_.bytesAfter += bytesAfter;
    Draw(tally_.pagesDone == tally_.pagesTotal);
}

void RunProgress::Copied(std::uint64_t files, std::uint64_t bytes) {
    copying_ = true;
    filesCopied_ = files;
    bytesCopied_ = bytes;
    Draw(false);
}

void RunProgress::Clear() {
    if (drawn_) {
        drawn_ = false;
        const std::string wipe =
            escapes_ ? "\r\x1b[K" : "\r" + std::string(shownWidth_, ' ') + "\r";
        shownWidth_ = 0;
        try {
            io::WriteAll(drawFd_, wipe, "standard error");
        } catch (const std::system_error&) {
            drawFd_ = -1;
        }
    }
}

std::string RunProgress::FormatLine(const RunTally& tally, std::chrono::duration<double> elapsed) {
    double share = 0;
    if (tally.bytesTotal > 0) {
        share = static_cast<double>(tally.bytesBefore) / static_cast<double>(tally.bytesTotal);
    } else if (tally.pagesTotal > 0) {
        share = static_cast<double>(tally.pagesDone) / static_cast<double>(tally.pagesTotal);
    }
    share = std::clamp(share, 0.0, 1.0);
    int filled = static_cast<int>(share * kBarCells);

    std::string line = "[";
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(kBarCells - filled), '-');
    line += "] ";
    line += std::to_string(tally.pagesDone) + "/" + std::to_string(tally.pagesTotal) + " pages  ";
    line += Megabytes(tally.bytesBefore) + "/" + Megabytes(tally.bytesTotal) + " MB  ";

    double seconds = elapsed.count();
    if (seconds <= 0 || tally.bytesBefore == 0) {
        return line + "-- MB/s  --:-- left";
    }
    double rate = static_cast<double>(tally.bytesBefore) / seconds;
    std::uint64_t remaining =
        tally.bytesTotal > tally.bytesBefore ? tally.bytesTotal - tally.bytesBefore : 0;
    line += Megabytes(static_cast<std::uint64_t>(rate)) + " MB/s  ";
    line += MinutesSeconds(static_cast<double>(remaining) / rate) + " left";
    return line;
}

std::string RunProgress::FormatCopyLine(std::uint64_t files, std::uint64_t bytes,
                                        std::chrono::duration<double> elapsed) {
    std::string line = "copying: " + std::to_string(files) + (files == 1 ? " file  " : " files  ") +
                       Megabytes(bytes) + " MB  ";
    const double seconds = elapsed.count();
    if (seconds <= 0) {
        return line + "-- MB/s";
    }
    return line + Megabytes(static_cast<std::uint64_t>(static_cast<double>(bytes) / seconds)) +
           " MB/s";
}

void RunProgress::Draw(bool force) {
    if (drawFd_ < 0) {
        return;
    }
    auto now = clock_();
    if (!force && drawn_ && now - lastDraw_ < kRedrawEvery) {
        return;
    }
    lastDraw_ = now;
    try {
        const std::string line = copying_ ? FormatCopyLine(filesCopied_, bytesCopied_, now - start_)
                                          : FormatLine(tally_, now - start_);
        std::string text = "\r" + line;
        if (escapes_)
            text += "\x1b[K";
        else if (line.size() < shownWidth_)
            text.append(shownWidth_ - line.size(), ' ');
        shownWidth_ = line.size();
        io::WriteAll(drawFd_, text, "standard error");
        drawn_ = true;
    } catch (const std::system_error&) {
        // A progress line that cannot be shown is no reason to stop the run.
        drawFd_ = -1;
    }
}

} // namespace velnor::cli
