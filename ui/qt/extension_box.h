#pragma once

#include <QPlainTextEdit>

class QKeyEvent;
class QMimeData;

namespace velnor {

// Text1: the extension list, one line of text that wraps within its box. The
// run splits it on "|" alone, so a line break would only end up inside an
// extension: Enter types none and pasted ones are dropped. Tab moves the focus.
class ExtensionBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ExtensionBox(const QString& text, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
};

} // namespace velnor
