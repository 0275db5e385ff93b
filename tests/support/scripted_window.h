#pragma once

#include "core/run/window_seam.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace velnor::test {

// A stand-in for the main window: fields for what its controls hold (changed at
// any time, also from OnYield), a record of what it was told, scripted answers.
class ScriptedWindow : public WindowSeam {
public:
    std::filesystem::path Folder;            // Dir1
    bool Backup = false;                     // Check4
    std::string Extensions = "htm|html|asp"; // Text1
    bool RemoveSpaces = true;                // Check1
    bool RemoveBreaks = true;                // Check2
    std::int16_t FileBarCells = 0;           // sp1
    std::int16_t PackBarCells = 0;           // sp2

    std::vector<std::string> Statuses; // lbstate, every caption set
    std::vector<std::int16_t> Ratios;  // yasuoLv, every percentage set
    std::size_t GaugeWrites = 0;
    std::vector<MessageBoxRequest> Messages;
    std::size_t Yields = 0; // including one that threw
    // Called at every yield with its 1-based number; may change the controls,
    // press buttons or throw RunAbandoned.
    std::function<void(std::size_t yield)> OnYield;
    // Answers to the next boxes; with none left a box gets its default button.
    std::deque<MessageAnswer> Answers;

    std::filesystem::path FolderPath() const override { return Folder; }
    bool BackupTicked() const override { return Backup; }
    std::string ExtensionText() const override { return Extensions; }
    bool RemoveSpacesTicked() const override { return RemoveSpaces; }
    bool RemoveBreaksTicked() const override { return RemoveBreaks; }
    void SetStatus(const std::string& caption) override { Statuses.push_back(caption); }
    void SetRatio(std::int16_t percent) override { Ratios.push_back(percent); }
    void SetGaugeCells(Gauge gauge, std::int16_t cells) override {
        (gauge == Gauge::FileBar ? FileBarCells : PackBarCells) = cells;
        ++GaugeWrites;
    }
    void Yield() override {
        ++Yields;
        if (OnYield)
            OnYield(Yields);
    }
    MessageAnswer ShowMessage(const MessageBoxRequest& request) override {
        Messages.push_back(request);
        if (Answers.empty())
            return request.defaultButton;
        const MessageAnswer answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
};

} // namespace velnor::test
