#pragma once

#include "core/about/sys_info_launcher.h"
#include "ui/design/frmAbout_design.h"
#include "ui/form/frmAbout.h"
#include "ui/form/frmAbout_view.h"
#include "ui/win32/designed_control.h"
#include "ui/win32/gui_font.h"
#include "ui/win32/windows_api.h"

#include <array>
#include <functional>
#include <string>

namespace velnor {

// The About box on plain Win32: the controls of frmAbout_design and what
// form::frmAbout asks of them. Created anew for every showing; the load runs
// once the controls are built.
class frmAbout : public form::frmAboutView {
public:
    // An empty member of services takes the real one.
    explicit frmAbout(SysInfoServices services = {});
    frmAbout(const frmAbout&) = delete;
    frmAbout& operator=(const frmAbout&) = delete;

    // Shows the box modally without an owner: the program's other windows take
    // no input until it closes. onShown, if given, runs once it is up. IDOK
    // when the form unloaded it.
    INT_PTR Show(const std::function<void(frmAbout&)>& onShown = {});

    // While shown.
    HWND Handle() const { return dialog_; }
    HWND Control(frmAbout_design::Control control) const { return controls_[control]; }

    void SetFormCaption(const std::string& caption) override;
    void SetCaption(frmAbout_design::Control label, const std::string& caption) override;
    void ShowMessage(const MessageBoxRequest& request) override;
    void Unload() override;

private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    // A label sizes itself to its text or, where its text is wider, widens to it.
    void PlaceLabel(frmAbout_design::Control label);
    void Paint();

    std::function<void(frmAbout&)> onShown_;
    HWND dialog_ = nullptr;
    std::array<HWND, frmAbout_design::ControlCount> controls_{};
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    FontHandle font_;
    SolidBrushes brushes_;
    form::frmAbout form_;
};

} // namespace velnor
