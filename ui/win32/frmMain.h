#pragma once

#include "core/files/file_system.h"
#include "core/settings/settings_store.h"
#include "ui/design/frmMain_design.h"
#include "ui/form/frmMain.h"
#include "ui/form/frmMain_view.h"
#include "ui/win32/designed_control.h"
#include "ui/win32/drive_list.h"
#include "ui/win32/gui_font.h"
#include "ui/win32/handles.h"
#include "ui/win32/message_pump.h"
#include "ui/win32/windows_api.h"

#include <array>
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

// The main window on plain Win32: the controls of frmMain_design and what
// form::frmMain asks of them; their events go to the form.
class frmMain : public form::frmMainView {
public:
    explicit frmMain(frmMainServices services = {});
    ~frmMain() override;
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    form::frmMain& Form() { return form_; }
    HWND Handle() const { return window_; }
    HWND Control(frmMain_design::Control control) const { return controls_[control]; }
    // Shows the window with the focus on Drive1.
    void Show(int showCommand = SW_SHOWNORMAL);
    // Tab, Enter and the arrow keys among the controls; true when msg was one.
    bool HandleDialogKeys(MSG& msg) { return IsDialogMessageW(window_, &msg); }
    // Dir1 shows folder, or a box says why it cannot.
    void OpenFolder(const std::filesystem::path& folder) { form_.OpenFolder(folder); }

    bool BackupTicked() const override;
    std::string ExtensionText() const override;
    bool RemoveSpacesTicked() const override;
    bool RemoveBreaksTicked() const override;
    std::filesystem::path Drive() const override;
    void SetCaption(frmMain_design::Control label, const std::string& caption) override;
    void ShowFolders(const form::FolderListing& listing) override;
    MessageAnswer ShowMessage(const MessageBoxRequest& request) override;
    void ShowAbout() override;
    void Yield() override;
    void EndProgram(int exitStatus) override;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int notification);
    void OpenSelectedFolder();

    void CreateControls();
    // Check1 and Check2 as the user left them: read at every character, so
    // kept here rather than asked of the controls (a message each under Wine).
    void ReadTicks();
    void Layout(UINT dpi);
    SIZE CaptionSize(frmMain_design::Control label, const std::wstring& caption) const;
    int CharacterExtra(frmMain_design::Control label) const;

    DriveSource drives_;
    std::function<void(int)> endProgram_;

    HWND window_ = nullptr;
    std::array<HWND, frmMain_design::ControlCount> controls_{};
    std::optional<DriveList> Drive1_;
    FontHandle font_;
    IconHandle bigIcon_;
    IconHandle smallIcon_;
    int gaugeExtra_ = 0; // pixels between two "|", so a cell is 90 twips wide
    SolidBrushes brushes_;
    HWND focusAtDeactivation_ = nullptr;
    MessagePump pump_;
    bool removeSpaces_ = true;
    bool removeBreaks_ = true;
    form::frmMain form_;
};

} // namespace velnor
