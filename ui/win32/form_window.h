#pragma once

#include "ui/win32/handles.h"
#include "ui/win32/windows_api.h"

#include <string>

namespace velnor {

// A top-level window of the class className (registered on first use, on the
// dialog face), untitled by a toolkit: its procedure is DefWindowProcW until
// its owner sets one. Throws when the system refuses.
HWND CreateFormWindow(const wchar_t* className, const std::string& title, DWORD style);

// Sizes window so that its client area is width x height twips at dpi.
void SetClientSize(HWND window, int width, int height, UINT dpi);

// Velnor's icons at dpi, given to window for its title bar and task bar.
void SetVelnorIcons(HWND window, UINT dpi, IconHandle& bigIcon, IconHandle& smallIcon);

} // namespace velnor
