#include "ui/qt/frmAbout.h"

#include "core/about/key_value_reader.h"
#include "ui/design/frmAbout_design.h"
#include "ui/design/twips.h"
#include "ui/qt/designed_widget.h"
#include "ui/qt/info_message.h"
#include "ui/qt/twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <array>

namespace velnor {
namespace {

// The designed widths fit a font with 180-twip CJK characters; a wider
// default font widens a label rather than cutting its text off.
void WidenToText(QLabel* label) {
    const int needed = label->sizeHint().width();
    if (needed > label->width()) {
        label->resize(needed, label->height());
    }
}

} // namespace

frmAbout::frmAbout(QWidget* parent) : frmAbout(SysInfoServices{}, parent) {}

frmAbout::frmAbout(SysInfoServices services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      services_(WithSystemServices(std::move(services))) {
    if (!services_.showMessage)
        services_.showMessage = [this](const std::string& text) {
            ShowInfoMessage(this, QString::fromStdString(text));
        };
    CreateControls();
    Form_Load();
}

void frmAbout::CreateControls() {
    using namespace frmAbout_design;
    setObjectName(QStringLiteral("frmAbout"));
    const QRect client = TwipsRect(Client, this);
    setFixedSize(client.size());
    setGeometry(client);

    std::array<QWidget*, ControlCount> made{};
    for (int index = 0; index < ControlCount; ++index)
        made[index] = MakeDesignedWidget(Controls()[index], this);
    cmdOK = static_cast<QPushButton*>(made[frmAbout_design::cmdOK]);
    cmdSysInfo = static_cast<QPushButton*>(made[frmAbout_design::cmdSysInfo]);
    lblTitle = static_cast<QLabel*>(made[frmAbout_design::lblTitle]);
    lblVersion = static_cast<QLabel*>(made[frmAbout_design::lblVersion]);
    WidenToText(static_cast<QLabel*>(made[Label7]));
    WidenToText(static_cast<QLabel*>(made[Label8]));
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);

    setTabOrder(made[FocusOrder[0]], made[FocusOrder[1]]);
    made[FocusOrder.front()]->setFocus();
}

void frmAbout::Form_Load() {
    setWindowTitle(QString::fromStdString(frmAbout_design::LoadedCaption()));
    lblVersion->setText(QString::fromStdString(frmAbout_design::LoadedVersion()));
    WidenToText(lblVersion);
    lblTitle->setText(QString::fromStdString(frmAbout_design::LoadedTitle()));
    WidenToText(lblTitle);
}

bool frmAbout::GetKeyValue(const RegistryRoot& KeyRoot, const QString& KeyName,
                           const QString& SubKeyRef, QString& KeyVal) {
    std::u16string value = KeyVal.toStdU16String();
    const bool read = velnor::GetKeyValue(*services_.registry, KeyRoot, KeyName.toStdU16String(),
                                          SubKeyRef.toStdU16String(), value);
    KeyVal = QString::fromStdU16String(value);
    return read;
}

void frmAbout::StartSysInfo() {
    velnor::StartSysInfo(services_);
}

void frmAbout::keyPressEvent(QKeyEvent* event) {
    // Esc clicks the OK button, which is also the cancel button.
    if (event->matches(QKeySequence::Cancel)) {
        cmdOK->click();
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
        const design::LineDesign& line = frmAbout_design::Line1()[index];
        const int left = design::TwipsToPixels(line.fromX, logicalDpiX());
        const int right = design::TwipsToPixels(line.toX, logicalDpiX());
        const int top = design::TwipsToPixels(line.y, logicalDpiY());
        painter.fillRect(left, top, right - left, line.widthPixels,
                         QColor(line.colour.red, line.colour.green, line.colour.blue));
    }
}

} // namespace velnor
