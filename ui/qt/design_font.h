#pragma once

#include <QFont>

namespace velnor {

// The font the window is designed for: a full-width (CJK) character 180 twips
// wide, a half-width one 90. Nine points is 180 twips; WenQuanYi Micro Hei Mono
// has both widths close to that and every character of the user interface.
QFont DesignFont();

// Makes DesignFont the application's default, for the main window and the About box alike.
void UseDesignFont();

} // namespace velnor
