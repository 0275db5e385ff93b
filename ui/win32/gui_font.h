#pragma once

#include "ui/win32/handles.h"
#include "ui/win32/windows_api.h"

#include <string>

namespace velnor {

// The system's font for messages and dialogs at 9 points, the size the windows
// are designed for: a full-width character is 12 pixels at 96 dpi.
FontHandle MakeGuiFont(UINT dpi);

// Width and height of one line of text in font.
SIZE TextExtent(HWND window, HFONT font, const std::wstring& text, int characterExtra = 0);

} // namespace velnor
