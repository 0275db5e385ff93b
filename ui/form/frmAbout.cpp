#include "ui/form/frmAbout.h"

#include "core/identity.h"

#include <utility>

namespace velnor::form {

frmAbout::frmAbout(frmAboutView& view, SysInfoServices services)
    : view_(view), services_(WithSystemServices(std::move(services))) {
    if (!services_.showMessage)
        services_.showMessage = [this](const std::string& text) {
            view_.ShowMessage({.text = text, .title = identity::ApplicationTitle});
        };
}

void frmAbout::Form_Load() {
    view_.SetFormCaption(frmAbout_design::LoadedCaption());
    view_.SetCaption(frmAbout_design::lblVersion, frmAbout_design::LoadedVersion());
    view_.SetCaption(frmAbout_design::lblTitle, frmAbout_design::LoadedTitle());
}

void frmAbout::cmdOK_Click() {
    view_.Unload();
}

void frmAbout::cmdSysInfo_Click() {
    // Reports its own failures; the box stays open whatever the outcome.
    StartSysInfo(services_);
}

} // namespace velnor::form
