#pragma once

#include "core/about/sys_info_launcher.h"
#include "ui/form/frmAbout_view.h"

namespace velnor::form {

// The About box's behaviour. Made anew for every showing; the toolkit calls
// Form_Load once its controls are built, then forwards the buttons.
class frmAbout {
public:
    // The services left empty are the system's; the message is shown over the box.
    frmAbout(frmAboutView& view, SysInfoServices services);
    frmAbout(const frmAbout&) = delete;
    frmAbout& operator=(const frmAbout&) = delete;

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

private:
    frmAboutView& view_;
    SysInfoServices services_;
};

} // namespace velnor::form
