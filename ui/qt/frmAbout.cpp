#include "ui/qt/frmAbout.h"

#include "ui/design/twips.h"
#include "ui/qt/designed_widget.h"
#include "ui/qt/message_box.h"
#include "ui/qt/twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <utility>

namespace velnor {
namespace {

using namespace frmAbout_design;

// The designed widths fit a font with 180-twip CJK characters; a wider
// default font widens a label rather than cutting its text off.
void WidenToText(QWidget* label) {
    const int needed = label->sizeHint().width();
    if (needed > label->width()) {
        label->resize(needed, label->height());
    }
}

} // namespace

frmAbout::frmAbout(SysInfoServices services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      form_(*this, std::move(services)) {
    CreateControls();
    form_.Form_Load();
}

void frmAbout::CreateControls() {
    setObjectName(QStringLiteral("frmAbout"));
    const QRect client = TwipsRect(Client, this);
    setFixedSize(client.size());
    setGeometry(client);

    for (int index = 0; index < ControlCount; ++index)
        controls_[index] = MakeDesignedWidget(Controls()[index], this);
    WidenToText(controls_[Label7]);
    WidenToText(controls_[Label8]);
    form::frmAbout* const form = &form_;
    connect(static_cast<QPushButton*>(controls_[cmdOK]), &QPushButton::clicked, this,
            [form] { form->cmdOK_Click(); });
    connect(static_cast<QPushButton*>(controls_[cmdSysInfo]), &QPushButton::clicked, this,
            [form] { form->cmdSysInfo_Click(); });

    setTabOrder(controls_[FocusOrder[0]], controls_[FocusOrder[1]]);
    controls_[FocusOrder.front()]->setFocus();
}

void frmAbout::SetFormCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void frmAbout::SetCaption(frmAbout_design::Control label, const std::string& caption) {
    static_cast<QLabel*>(controls_[label])->setText(QString::fromStdString(caption));
    WidenToText(controls_[label]);
}

void frmAbout::ShowMessage(const MessageBoxRequest& request) {
    ShowMessageBox(this, request);
}

void frmAbout::Unload() {
    accept();
}

void frmAbout::keyPressEvent(QKeyEvent* event) {
    // Esc clicks the OK button, which is also the cancel button.
    if (event->matches(QKeySequence::Cancel)) {
        static_cast<QPushButton*>(controls_[cmdOK])->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmAbout::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    // In creation order, Line1(1) first.
    for (const int index : {1, 0}) {
        const design::LineDesign& line = Line1()[index];
        const int left = design::TwipsToPixels(line.fromX, logicalDpiX());
        const int right = design::TwipsToPixels(line.toX, logicalDpiX());
        const int top = design::TwipsToPixels(line.y, logicalDpiY());
        painter.fillRect(left, top, right - left, line.widthPixels,
                         QColor(line.colour.red, line.colour.green, line.colour.blue));
    }
}

} // namespace velnor
