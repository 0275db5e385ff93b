#pragma once

#include "core/about/registry.h"
#include "core/about/sys_info_launcher.h"
#include "ui/design/frmAbout_design.h"
#include "ui/win32/designed_control.h"
#include "ui/win32/gui_font.h"
#include "ui/win32/windows_api.h"

#include <array>
#include <functional>
#include <string>

namespace velnor {

// The About box on plain Win32, built from frmAbout_design: title, version,
// author, home page, e-mail and date, and a button that starts the System
// Information tool. Each showing creates it anew and runs the load steps.
class frmAbout {
public:
    // An empty member of services takes the real one.
    explicit frmAbout(SysInfoServices services = {});
    frmAbout(const frmAbout&) = delete;
    frmAbout& operator=(const frmAbout&) = delete;

    // Shows the box modally without an owner: the program's other windows take
    // no input until it closes. onShown, if given, runs once it is up.
    void Show(const std::function<void(frmAbout&)>& onShown = {});

    // While shown.
    HWND Handle() const { return dialog_; }
    HWND Control(frmAbout_design::Control control) const { return controls_[control]; }

    bool GetKeyValue(RegistryRoot KeyRoot, const std::wstring& KeyName,
                     const std::wstring& SubKeyRef, std::wstring& KeyVal);
    void StartSysInfo();

private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void Form_Load();
    void Paint();

    SysInfoServices services_;
    std::function<void(frmAbout&)> onShown_;
    HWND dialog_ = nullptr;
    std::array<HWND, frmAbout_design::ControlCount> controls_{};
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    FontHandle font_;
    SolidBrushes brushes_;
};

} // namespace velnor
