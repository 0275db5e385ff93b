#pragma once

class QString;
class QWidget;

namespace velnor {

// A message box modal over owner: the text, an OK button only, no icon, and
// the application title in its title bar. Returns once the user closes it.
void ShowInfoMessage(QWidget* owner, const QString& text);

} // namespace velnor
