#include "ui/qt/info_message.h"

#include "core/identity.h"

#include <QMessageBox>

namespace velnor {

void ShowInfoMessage(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(identity::ApplicationTitle), text,
                    QMessageBox::Ok, owner);
    box.exec();
}

} // namespace velnor
