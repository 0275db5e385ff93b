#pragma once

#include "ui/design/control_design.h"

#include <array>
#include <span>
#include <string>

namespace velnor::frmAbout_design {

// The About box's controls, in the order they are created.
enum Control : int {
    cmdOK,      // closes the box; Enter and Esc press it
    cmdSysInfo, // starts the System Information tool
    Label5,     // "作者:" and the author
    Label6,     // "主页:" and the home page
    Label7,     // "邮箱:" and the e-mail address
    Label8,     // the date
    lblTitle,   // the application title, set at load
    lblVersion, // "版本 1.0.0", set at load
    ControlCount
};

// The client area, fixed: its stored place on the screen and its size, in twips.
inline constexpr design::TwipsBox Client{2340, 1935, 5730, 3555};

// Indexed by Control.
std::span<const design::ControlDesign, ControlCount> Controls();

// Line1(0) and Line1(1): a grey line over a white one, an etched rule above
// the buttons. Line1(1) is drawn first.
std::span<const design::LineDesign, 2> Line1();

inline constexpr std::array FocusOrder{cmdOK, cmdSysInfo};

// What the load sets, from the program's identity: the box's caption
// ("关于 Velnor"), lblTitle ("Velnor") and lblVersion ("版本 1.0.0").
std::string LoadedCaption();
std::string LoadedTitle();
std::string LoadedVersion();

} // namespace velnor::frmAbout_design
