#pragma once

#include "run/window_seam.h"

#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace velnor::test {

// A stand-in for the main window: plain fields for what its controls hold,
// a record of everything written to it, and scripted answers for its message
// boxes.
//
//     ScriptedWindow window;
//     window.Folder = tree.Root();
//     window.SetNextAnswer(MessageAnswer::No);          // the next box is answered No
//     window.OnYield = [&](std::size_t n) { if (n == 3) window.RemoveSpaces = true; };
//     RunDriver(window, [] { return MakeFileSystem(); }).Start();
//     EXPECT_EQ(window.Statuses.back(), "已经完成任务.");
//
// The controls may be changed at any time, also from OnYield; every read
// sees the current value.
class ScriptedWindow : public WindowSeam {
public:
    // The controls.
    std::filesystem::path Folder;            // Dir1
    bool Backup = false;                     // Check4
    std::string Extensions = "htm|html|asp"; // Text1
    bool RemoveSpaces = true;                // Check1
    bool RemoveBreaks = true;                // Check2
    std::string FileBarCaption;              // sp1
    std::string PackBarCaption;              // sp2

    // What was written, in order.
    std::vector<std::string> Statuses;                    // lbstate, every caption set
    std::vector<std::string> Ratios;                      // yasuoLv, every caption set
    std::vector<std::pair<Gauge, std::string>> GaugeSets; // every SetGaugeCaption
    std::vector<MessageBoxRequest> Messages;              // every box shown
    std::size_t Yields = 0;                               // Yield calls, including one that threw
    mutable std::size_t SpacesReads = 0;                  // reads of Check1
    mutable std::size_t GaugeReads = 0;                   // GaugeCaption calls

    // Called at every yield with its 1-based number, before Yield returns;
    // may change the controls, press buttons or throw RunAbandoned.
    std::function<void(std::size_t yield)> OnYield;
    // Called with each box before it is answered, e.g. to press Start inside it.
    std::function<void(const MessageBoxRequest&)> OnMessage;

    // Queues the answer to the next box not yet answered. With the queue empty,
    // a box is answered with its default button.
    void SetNextAnswer(MessageAnswer answer) { answers_.push_back(answer); }
    std::size_t PendingAnswers() const { return answers_.size(); }

    // Makes the n-th yield (1-based) throw RunAbandoned, as a window closed then.
    void AbandonAtYield(std::size_t n);

    // Number of "|" cells the gauge shows.
    std::size_t Cells(Gauge gauge) const {
        return (gauge == Gauge::FileBar ? FileBarCaption : PackBarCaption).size();
    }

    std::filesystem::path FolderPath() const override { return Folder; }
    bool BackupTicked() const override { return Backup; }
    std::string ExtensionText() const override { return Extensions; }
    bool RemoveSpacesTicked() const override {
        ++SpacesReads;
        return RemoveSpaces;
    }
    bool RemoveBreaksTicked() const override { return RemoveBreaks; }

    void SetStatus(const std::string& caption) override { Statuses.push_back(caption); }
    void SetRatio(const std::string& caption) override { Ratios.push_back(caption); }
    std::string GaugeCaption(Gauge gauge) const override;
    void SetGaugeCaption(Gauge gauge, const std::string& caption) override;

    void Yield() override;
    MessageAnswer ShowMessage(const MessageBoxRequest& request) override;

private:
    std::deque<MessageAnswer> answers_;
};

} // namespace velnor::test
