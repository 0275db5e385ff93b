#pragma once

#include "core/run/window_seam.h"
#include "ui/win32/windows_api.h"

namespace velnor {

// MessageBoxW with the request's text, title (the application title when it
// names none), buttons, icon and default button, modal over owner.
MessageAnswer ShowMessageBox(HWND owner, const MessageBoxRequest& request);

} // namespace velnor
