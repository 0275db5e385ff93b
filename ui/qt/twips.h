#pragma once

#include "ui/design/control_design.h"

#include <QRect>

class QWidget;

namespace velnor {

// A designed box in pixels at the dots per inch of the widget that holds it.
QRect TwipsRect(const design::TwipsBox& box, const QWidget* container);

} // namespace velnor
