#pragma once

#include "ui/design/control_design.h"

#include <array>
#include <span>

namespace velnor::frmMain_design {

// The main window's controls, each container before what it holds.
enum Control : int {
    Label3,   // the help text above everything
    Folders,  // frame "选择文件目录" (also its designed name): choose the folder
    Drive1,   // the drives; picking one opens it in Dir1
    Dir1,     // the folder to treat, with its parents and subfolders
    Frame1,   // frame "设置": settings
    Label1,   // "应用文件": caption of Text1
    Text1,    // the extension list, "htm|html|asp"
    Label2,   // "采取措施": caption of the check boxes
    Check1,   // remove redundant spaces, read at every character
    Check2,   // remove redundant line breaks, read at every character
    Check4,   // back up to the .bak folder first
    Command1, // Start
    Command2, // Restore
    Command3, // About
    lbstate,  // status: the file in hand, or "已经完成任务."
    Label12,  // "压缩": caption of sp2
    sp2,      // gauge: share of the page kept so far (red)
    Label10,  // "压缩成": caption of yasuoLv
    yasuoLv,  // share of the run's characters kept, "74%"
    Label9,   // "文件": caption of sp1
    sp1,      // gauge: how far the page has been scanned (blue)
    ControlCount
};

inline constexpr int ClientWidth = 7950; // twips
inline constexpr int ClientHeight = 5940;
// A gauge's cell is one "|" of its caption, a half-width character.
inline constexpr int GaugeCellTwips = 90;

// Indexed by Control.
std::span<const design::ControlDesign, ControlCount> Controls();

// Tab walks this order and back to the first, which has the focus at first.
// Frames and labels take no focus; no button is the default or cancel button.
inline constexpr std::array FocusOrder{Drive1,   Dir1,   Text1,    Check1,  Check2,
                                       Command1, Check4, Command2, Command3};

} // namespace velnor::frmMain_design
