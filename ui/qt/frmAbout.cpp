#include "ui/qt/frmAbout.h"

#include "core/about/file_exists.h"
#include "core/about/key_value_reader.h"
#include "core/about/program_starter.h"
#include "core/identity.h"
#include "ui/qt/info_message.h"
#include "ui/qt/project_details.h"
#include "ui/qt/twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

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

// Labels that size themselves to their text, whatever the designed size.
void SizeToText(QLabel* label) {
    label->resize(label->sizeHint());
}

} // namespace

frmAbout::frmAbout(QWidget* parent) : frmAbout(SysInfoServices{}, parent) {}

frmAbout::frmAbout(SysInfoServices services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      services_(std::move(services)) {
    if (!services_.registry)
        services_.registry = MakeSystemRegistry();
    if (!services_.fileExists)
        services_.fileExists = [](const std::u16string& path) {
            return OrdinaryFileExists(path);
        };
    if (!services_.startProgram)
        services_.startProgram = [](const std::u16string& path) {
            StartProgram(path);
        };
    if (!services_.showMessage)
        services_.showMessage = [this](const std::string& text) {
            ShowInfoMessage(this, QString::fromStdString(text));
        };
    CreateControls();
    Form_Load();
}

QRect frmAbout::TwipsRect(int left, int top, int width, int height) const {
    return velnor::TwipsRect(left, top, width, height, logicalDpiX(), logicalDpiY());
}

QLabel* frmAbout::AddLabel(const char* name, const QString& text, const QRect& twips) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    return label;
}

void frmAbout::CreateControls() {
    setObjectName(QStringLiteral("frmAbout"));
    // Client area 5730 x 3555 at 2340, 1935 on the screen; fixed size.
    const QRect client = TwipsRect(2340, 1935, 5730, 3555);
    setFixedSize(client.size());
    setGeometry(client);

    cmdOK = new QPushButton(QStringLiteral("确定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(TwipsRect(4125, 2625, 1500, 345));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    cmdSysInfo = new QPushButton(QStringLiteral("系统信息(&S)..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setGeometry(TwipsRect(4140, 3075, 1485, 345));
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);

    Label5 =
        AddLabel("Label5", QStringLiteral("作者:") + QString::fromUtf8(project_details::Author),
                 QRect(270, 1200, 810, 180));
    SizeToText(Label5);
    Label6 =
        AddLabel("Label6", QStringLiteral("主页:") + QString::fromUtf8(project_details::HomePage),
                 QRect(270, 1440, 1530, 180));
    SizeToText(Label6);
    Label7 = AddLabel("Label7", QStringLiteral("邮箱:") + QString::fromUtf8(project_details::Email),
                      QRect(270, 1680, 1935, 255));
    WidenToText(Label7);
    Label8 = AddLabel("Label8", QStringLiteral("2005-8-28"), QRect(270, 2040, 2055, 255));
    WidenToText(Label8);

    // Grey over white, one pixel apart: an etched rule above the buttons.
    Line1[1] = {QPoint(90, 2445), 5654, QColor(128, 128, 128), 1};
    lblTitle = AddLabel("lblTitle", QStringLiteral("应用程序标题"), QRect(240, 240, 3885, 480));
    QPalette titlePalette = lblTitle->palette();
    titlePalette.setColor(QPalette::WindowText, QColor(0, 0, 0));
    lblTitle->setPalette(titlePalette);
    Line1[0] = {QPoint(105, 2460), 5654, QColor(255, 255, 255), 2};
    lblVersion = AddLabel("lblVersion", QStringLiteral("版本"), QRect(240, 780, 3885, 225));

    setTabOrder(cmdOK, cmdSysInfo);
    cmdOK->setFocus();
}

void frmAbout::Form_Load() {
    const QString title = QString::fromUtf8(identity::ApplicationTitle);
    setWindowTitle(QStringLiteral("关于 ") + title);
    lblVersion->setText(QStringLiteral("版本 %1.%2.%3")
                            .arg(identity::VersionMajor)
                            .arg(identity::VersionMinor)
                            .arg(identity::VersionRevision));
    WidenToText(lblVersion);
    lblTitle->setText(title);
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
    // In creation order, index 1 first.
    for (const LineShape* line : {&Line1[1], &Line1[0]}) {
        const int left = TwipsToPixels(line->from.x(), logicalDpiX());
        const int right = TwipsToPixels(line->toX, logicalDpiX());
        const int top = TwipsToPixels(line->from.y(), logicalDpiY());
        painter.fillRect(left, top, right - left, line->widthPixels, line->colour);
    }
}

} // namespace velnor
