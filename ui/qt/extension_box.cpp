#include "ui/qt/extension_box.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QRegularExpression>

namespace velnor {

ExtensionBox::ExtensionBox(const QString& text, QWidget* parent) : QPlainTextEdit(text, parent) {
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void ExtensionBox::keyPressEvent(QKeyEvent* event) {
    // Tab moves the focus when there is somewhere to go; it is never typed.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        event->ignore();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void ExtensionBox::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText())
        return;
    static const QRegularExpression lineBreaks("[\r\n\u2028\u2029]");
    insertPlainText(source->text().remove(lineBreaks));
}

} // namespace velnor
