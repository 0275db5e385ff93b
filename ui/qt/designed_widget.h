#pragma once

#include "ui/design/control_design.h"

class QLabel;
class QString;
class QWidget;

namespace velnor {

// The Qt widget of a designed label, frame, button, check box or text box,
// named, placed and set up as designed, inside container.
QWidget* MakeDesignedWidget(const design::ControlDesign& design, QWidget* container);

// Sets a label up as designed (alignment, wrapping, colours); not its name,
// place or caption.
QLabel* SetUpDesignedLabel(QLabel* label, const design::ControlDesign& design);

// Names and places a widget made elsewhere (the drive and directory lists).
void PlaceAsDesigned(QWidget* widget, const design::ControlDesign& design);

// An auto-size label takes the size of its text, on one line, at every change.
void SetAutoSizeCaption(QLabel* label, const QString& caption);

} // namespace velnor
