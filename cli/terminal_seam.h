#pragma once

#include "cli/cli_streams.h"
#include "cli/run_progress.h"
#include "core/run/window_seam.h"

#include <chrono>
#include <filesystem>
#include <string>

namespace velnor::cli {

// What the window's controls would hold, taken from the command line.
struct SeamSettings {
    std::filesystem::path folder; // Dir1
    std::string extensions;       // Text1
    bool removeSpaces = true;     // Check1
    bool removeBreaks = true;     // Check2
    bool backup = true;           // Check4
    bool assumeYes = false;       // --yes: every question answered Yes / OK
};

// The window as the terminal plays it: questions are asked on standard error
// and answered on standard input (only when a person is there), message boxes
// become lines on standard error.
class TerminalSeam : public WindowSeam {
public:
    TerminalSeam(SeamSettings settings, const CliStreams& streams, RunProgress* progress,
                 Clock clock);

    std::filesystem::path FolderPath() const override { return settings_.folder; }
    bool BackupTicked() const override { return settings_.backup; }
    std::string ExtensionText() const override { return settings_.extensions; }
    bool RemoveSpacesTicked() const override { return settings_.removeSpaces; }
    bool RemoveBreaksTicked() const override { return settings_.removeBreaks; }

    void SetStatus(const std::string& caption) override { status_ = caption; }
    void SetRatio(std::int16_t) override {}
    void SetGaugeCells(Gauge, std::int16_t) override {}

    void Yield() override {}
    MessageAnswer ShowMessage(const MessageBoxRequest& request) override;

    const std::string& Status() const { return status_; }
    // Time spent waiting for a person to answer, which is no part of the work.
    std::chrono::steady_clock::duration AnswerWait() const { return answerWait_; }

private:
    bool Ask(const MessageBoxRequest& request);
    void Say(const std::string& line);

    SeamSettings settings_;
    CliStreams streams_;
    RunProgress* progress_;
    Clock clock_;
    std::chrono::steady_clock::duration answerWait_{};
    std::string status_;
};

} // namespace velnor::cli
