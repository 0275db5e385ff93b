#pragma once

#include "core/run/window_seam.h"
#include "ui/design/frmMain_design.h"
#include "ui/form/folder_listing.h"

#include <filesystem>
#include <string>

namespace velnor::form {

// What a toolkit does for the main window: it builds the controls from
// frmMain_design, forwards their events to frmMain and does this. Everything
// else, what is shown when and what is remembered, frmMain decides. The reads
// and the box are those of WindowSeam, answered from the controls.
class frmMainView {
public:
    virtual ~frmMainView() = default;

    // The controls as the user left them. Check1 and Check2 are read at every
    // character of a run, so cheaply.
    virtual bool BackupTicked() const = 0;           // Check4
    virtual std::string ExtensionText() const = 0;   // Text1, UTF-8
    virtual bool RemoveSpacesTicked() const = 0;     // Check1
    virtual bool RemoveBreaksTicked() const = 0;     // Check2
    virtual std::filesystem::path Drive() const = 0; // Drive1's drive

    // An auto-size label (lbstate, yasuoLv, or the gauge sp1 or sp2, whose
    // caption is its lit cells) takes caption, sized to its text on one line,
    // and is repainted at once.
    virtual void SetCaption(frmMain_design::Control label, const std::string& caption) = 0;
    // Dir1 shows the lines, the open folder's selected.
    virtual void ShowFolders(const FolderListing& listing) = 0;
    // A modal box exactly as asked; the button pressed.
    virtual MessageAnswer ShowMessage(const MessageBoxRequest& request) = 0;
    // The About box, modal and without an owner; returns once it has closed.
    virtual void ShowAbout() = 0;
    // Lets pending window events run, as often as that stays cheap.
    virtual void Yield() = 0;
    // Ends the program with that exit status once the running event returns.
    virtual void EndProgram(int exitStatus) = 0;
};

} // namespace velnor::form
