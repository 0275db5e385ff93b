#pragma once

#include "core/files/file_system.h"
#include "core/run/run_driver.h"
#include "core/run/window_seam.h"
#include "core/settings/settings_store.h"
#include "ui/form/folder_listing.h"
#include "ui/form/frmMain_view.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace velnor::form {

// The main window's behaviour: its event procedures, Dir1's folders, the
// remembered folder, and what the run, the restore and the gauges show (it
// is their WindowSeam). The toolkit calls Form_Load once its controls are
// built, then forwards each event.
class frmMain : public WindowSeam {
public:
    // An empty makeFileSystem takes MakeFileSystem.
    frmMain(frmMainView& view, std::shared_ptr<SettingsStore> settings,
            FileSystemFactory makeFileSystem = {});

    RunDriver& Run() { return run_; }
    const FolderListing& Dir1() const { return Dir1_; }

    void Form_Load();
    void Command1_Click(); // Start
    void Command2_Click(); // Restore
    void Command3_Click(); // About
    void Drive1_Change();
    // The user opened a line of Dir1.
    void Dir1_Open(std::size_t line);
    // The window is closing, for whatever cause; the close is never refused.
    void Form_Unload();
    // Dir1 shows folder (a FOLDER on the command line); one that cannot be
    // opened gets the box of a failed drive change.
    void OpenFolder(const std::filesystem::path& folder);

    std::filesystem::path FolderPath() const override;
    bool BackupTicked() const override;
    std::string ExtensionText() const override;
    bool RemoveSpacesTicked() const override;
    bool RemoveBreaksTicked() const override;
    void SetStatus(const std::string& caption) override;
    void SetRatio(std::int16_t percent) override;
    void SetGaugeCells(Gauge gauge, std::int16_t cells) override;
    void Yield() override;
    MessageAnswer ShowMessage(const MessageBoxRequest& request) override;

private:
    // Throws when the folder cannot be opened; Dir1 then stays as it was.
    void SetDir1(const std::filesystem::path& folder);
    void ShowFailure(const std::string& description);

    frmMainView& view_;
    std::shared_ptr<SettingsStore> settings_;
    FileSystemFactory makeFileSystem_;
    FolderListing Dir1_;
    // What the labels show, so that only a change costs a caption: a run sets
    // them at every character.
    std::string status_;
    std::optional<std::int16_t> ratio_;
    std::array<std::int16_t, 2> gaugeCells_; // sp1, sp2
    bool closed_ = false;
    RunDriver run_;
};

} // namespace velnor::form
