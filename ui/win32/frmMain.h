#pragma once

#include "core/files/file_system.h"
#include "core/run/run_driver.h"
#include "core/run/window_seam.h"
#include "core/settings/settings_store.h"
#include "ui/design/frmMain_design.h"
#include "ui/win32/designed_control.h"
#include "ui/win32/directory_list.h"
#include "ui/win32/drive_list.h"
#include "ui/win32/gui_font.h"
#include "ui/win32/handles.h"
#include "ui/win32/message_pump.h"
#include "ui/win32/windows_api.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velnor {

// What the main window uses of the world; an empty member takes the real one.
struct frmMainServices {
    std::shared_ptr<SettingsStore> settings{}; // MakeSettingsStore: the registry
    FileSystemFactory makeFileSystem{};        // MakeFileSystem
    DriveSource drives{};                      // LogicalDrives
    std::function<void(int)> endProgram{};     // PostQuitMessage with that code
};

// The main window on plain Win32, built from frmMain_design. The run, the
// restore and the gauges reach its controls through WindowSeam.
class frmMain : public WindowSeam {
public:
    explicit frmMain(frmMainServices services = {});
    ~frmMain() override;
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    HWND Handle() const { return window_; }
    HWND Control(frmMain_design::Control control) const { return controls_[control]; }
    RunDriver& Run() { return run_; }
    const DriveList& Drives() const { return *Drive1_; }
    // Shows the window with the focus on Drive1.
    void Show(int showCommand = SW_SHOWNORMAL);
    // Tab, Enter and the arrow keys among the controls; true when msg was one.
    bool HandleDialogKeys(MSG& msg);
    // Shows folder in Dir1 as the system resolves it. One that cannot be
    // opened gets the box of a failed drive change, and Dir1 keeps what it showed.
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
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int notification);

    void CreateControls();
    // Check1 and Check2 as the user left them: read at every character, so
    // kept here rather than asked of the controls (a message each under Wine).
    void ReadTicks();
    void Layout(UINT dpi);
    // An auto-size label takes the size of its text, on one line, and is
    // repainted at once.
    void SetLabelCaption(frmMain_design::Control label, const std::wstring& caption);
    SIZE CaptionSize(frmMain_design::Control label, const std::wstring& caption) const;
    int CharacterExtra(frmMain_design::Control label) const;

    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Drive1_Change();
    void ShowFailure(const std::string& description);
    void Form_Close();

    std::shared_ptr<SettingsStore> settings_;
    FileSystemFactory makeFileSystem_;
    DriveSource drives_;
    std::function<void(int)> endProgram_;

    HWND window_ = nullptr;
    std::array<HWND, frmMain_design::ControlCount> controls_{};
    std::optional<DriveList> Drive1_;
    std::optional<DirectoryList> Dir1_;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    FontHandle font_;
    IconHandle bigIcon_;
    IconHandle smallIcon_;
    int gaugeExtra_ = 0; // pixels between two "|", so a cell is 90 twips wide
    SolidBrushes brushes_;
    HWND focusAtDeactivation_ = nullptr;
    MessagePump pump_;
    bool closed_ = false;
    bool removeSpaces_ = true;
    bool removeBreaks_ = true;
    std::optional<std::int16_t> ratioShown_;
    std::array<std::int16_t, 2> gaugeCells_{60, 60}; // sp1, sp2: the designed caption at first

    RunDriver run_;
};

} // namespace velnor
