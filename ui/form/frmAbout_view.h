#pragma once

#include "core/run/window_seam.h"
#include "ui/design/frmAbout_design.h"

#include <string>

namespace velnor::form {

// What a toolkit does for the About box: it builds the controls from
// frmAbout_design, shows the box modally, forwards the buttons to frmAbout
// and does this.
class frmAboutView {
public:
    virtual ~frmAboutView() = default;

    // The box's title bar.
    virtual void SetFormCaption(const std::string& caption) = 0;
    // A label (lblTitle, lblVersion) takes caption, widened to show all of it.
    virtual void SetCaption(frmAbout_design::Control label, const std::string& caption) = 0;
    // A box modal over the About box; returns once it is closed.
    virtual void ShowMessage(const MessageBoxRequest& request) = 0;
    // Closes the box, which ends its modal showing.
    virtual void Unload() = 0;
};

} // namespace velnor::form
