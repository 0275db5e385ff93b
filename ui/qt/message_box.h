#pragma once

#include "core/run/window_seam.h"

class QWidget;

namespace velnor {

// A message box modal over owner, exactly as asked; the button pressed.
MessageAnswer ShowMessageBox(QWidget* owner, const MessageBoxRequest& request);

} // namespace velnor
