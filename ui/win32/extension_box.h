#pragma once

#include "ui/win32/windows_api.h"

namespace velnor {

// Text1 on a multi-line edit control that wraps its one line of text. The run
// splits it on "|" alone, so a line break would only end up inside an
// extension: Enter types none and pasted ones are dropped. Tab moves the focus.
void MakeExtensionBox(HWND edit);

} // namespace velnor
