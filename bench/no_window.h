#pragma once

#include "core/run/window_seam.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

namespace velnor::bench {

// A run's window with nothing behind it: what a step costs without a window.
class NoWindow : public WindowSeam {
public:
    explicit NoWindow(std::filesystem::path folder) : folder_(std::move(folder)) {}
    std::filesystem::path FolderPath() const override { return folder_; }
    bool BackupTicked() const override { return false; }
    std::string ExtensionText() const override { return "htm"; }
    bool RemoveSpacesTicked() const override { return true; }
    bool RemoveBreaksTicked() const override { return true; }
    void SetStatus(const std::string&) override {}
    void SetRatio(std::int16_t) override {}
    void SetGaugeCells(Gauge, std::int16_t) override {}
    void Yield() override {}
    MessageAnswer ShowMessage(const MessageBoxRequest&) override {
        std::abort(); // a failed run would measure nothing
    }

private:
    std::filesystem::path folder_;
};

} // namespace velnor::bench
