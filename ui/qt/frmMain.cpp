#include "ui/qt/frmMain.h"

#include "core/identity.h"
#include "core/text/display_path.h"
#include "ui/design/frmMain_design.h"
#include "ui/qt/designed_widget.h"
#include "ui/qt/directory_list.h"
#include "ui/qt/extension_box.h"
#include "ui/qt/frmAbout.h"
#include "ui/qt/gauge_label.h"
#include "ui/qt/qsettings_store.h"
#include "ui/qt/twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <system_error>

namespace velnor {

namespace {

const char* const SettingsSection = "Root";
const char* const SettingsKey = "Path";

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QMessageBox::StandardButton ButtonOf(MessageAnswer answer) {
    switch (answer) {
    case MessageAnswer::Ok:
        return QMessageBox::Ok;
    case MessageAnswer::Cancel:
        return QMessageBox::Cancel;
    case MessageAnswer::Yes:
        return QMessageBox::Yes;
    case MessageAnswer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButtons ButtonsOf(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        return QMessageBox::Ok;
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon IconOf(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

MessageAnswer AnswerOf(int button) {
    switch (button) {
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        return MessageAnswer::Ok;
    }
}

QIcon VelnorIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 72})
        icon.addFile(QString(":/icons/velnor-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

frmMain::frmMain(frmMainServices services, QWidget* parent)
    : QWidget(parent),
      settings_(services.settings ? services.settings : std::make_shared<QSettingsStore>()),
      drives_(services.drives ? services.drives : DriveSource(&MountedDrives)),
      endProgram_(services.endProgram ? services.endProgram
                                      : [](int code) { QCoreApplication::exit(code); }),
      run_(*this, services.makeFileSystem ? services.makeFileSystem
                                          : FileSystemFactory([] { return MakeFileSystem(); })) {
    setWindowTitle(identity::ApplicationTitle);
    setWindowIcon(VelnorIcon());
    resize(
        TwipsRect({0, 0, frmMain_design::ClientWidth, frmMain_design::ClientHeight}, this).size());
    CreateControls();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::CreateControls() {
    using namespace frmMain_design;
    std::array<QWidget*, ControlCount> made{};
    for (int index = 0; index < ControlCount; ++index) {
        const design::ControlDesign& design = Controls()[index];
        QWidget* container = design.container == design::OnForm ? this : made[design.container];
        if (design.kind == design::ControlKind::DriveList) {
            made[index] = new DriveList(drives_, container);
            PlaceAsDesigned(made[index], design);
        } else if (design.kind == design::ControlKind::DirectoryList) {
            made[index] = new DirectoryList(container);
            PlaceAsDesigned(made[index], design);
        } else if (index == frmMain_design::sp1 || index == frmMain_design::sp2) {
            made[index] = SetUpDesignedLabel(new GaugeLabel(container), design);
            PlaceAsDesigned(made[index], design);
        } else {
            made[index] = MakeDesignedWidget(design, container);
        }
    }
    const auto get = [&made]<typename Widget>(Control control, Widget*& widget) {
        widget = static_cast<Widget*>(made[control]);
    };
    auto* const Label3 = static_cast<QLabel*>(made[frmMain_design::Label3]);
    get(frmMain_design::Drive1, Drive1);
    get(frmMain_design::Dir1, Dir1);
    get(frmMain_design::Text1, Text1);
    get(frmMain_design::Check1, Check1);
    get(frmMain_design::Check2, Check2);
    get(frmMain_design::Check4, Check4);
    get(frmMain_design::Command1, Command1);
    get(frmMain_design::Command2, Command2);
    get(frmMain_design::Command3, Command3);
    get(frmMain_design::lbstate, lbstate);
    get(frmMain_design::sp2, sp2);
    get(frmMain_design::yasuoLv, yasuoLv);
    get(frmMain_design::sp1, sp1);

    // Its two lines may need a few pixels more than the designed box; the frames
    // below leave room for them.
    Label3->resize(Label3->width(),
                   std::max(Label3->height(), Label3->heightForWidth(Label3->width())));
    SetUpGauge(sp2);
    SetUpGauge(sp1);

    for (std::size_t i = 1; i < FocusOrder.size(); ++i)
        setTabOrder(made[FocusOrder[i - 1]], made[FocusOrder[i]]);
    made[FocusOrder.front()]->setFocus();

    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmMain::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmMain::Command3_Click);
    connect(Drive1, &DriveList::DriveChanged, this, &frmMain::Drive1_Change);
    connect(Dir1, &DirectoryList::OpenFailed, this, &frmMain::ShowFailure);
}

void frmMain::SetUpGauge(GaugeLabel* gauge) {
    // A cell is a half-width character, so the full gauge spans its designed
    // width whatever the width of "|" in the font.
    QFont font = gauge->font();
    const qreal cell = frmMain_design::GaugeCellTwips * logicalDpiX() / 1440.0;
    font.setLetterSpacing(QFont::AbsoluteSpacing,
                          cell - QFontMetricsF(font).horizontalAdvance(QLatin1Char('|')));
    gauge->setFont(font);
    gauge->ShowCells(60);
}

void frmMain::Form_Load() {
    // A remembered folder that is gone or cannot be opened is silently ignored.
    try {
        const std::string folder = settings_->Read(identity::InternalName, SettingsSection,
                                                   SettingsKey, Dir1->Path().native());
        Dir1->SetPath(folder);
    } catch (const std::exception&) {
    }
    run_.Gauges().UpdateFileBar(0);
    run_.Gauges().UpdatePackBar(0);
    SetRatio(0);
}

void frmMain::Command1_Click() {
    // A run abandoned at a yield ends here; the close has stored the folder already.
    run_.Start();
}

void frmMain::Command2_Click() {
    run_.Restore();
}

void frmMain::Command3_Click() {
    // Modal and without an owner; it exists only while it is shown.
    frmAbout about;
    about.exec();
}

void frmMain::Drive1_Change() {
    try {
        Dir1->SetPath(Drive1->Drive());
    } catch (const std::exception& error) {
        ShowFailure(QString::fromUtf8(error.what()));
    }
}

void frmMain::OpenFolder(const std::filesystem::path& folder) {
    try {
        std::error_code error;
        const std::filesystem::path resolved = std::filesystem::canonical(folder, error);
        if (error)
            throw FileSystemError(DisplayPath(folder) + ": " + error.message());
        Dir1->SetPath(resolved);
    } catch (const std::exception& error) {
        ShowFailure(QString::fromUtf8(error.what()));
    }
}

void frmMain::ShowFailure(const QString& description) {
    MessageBoxRequest box;
    box.text = description.toStdString();
    box.title = identity::ApplicationTitle;
    ShowMessage(box);
}

void frmMain::closeEvent(QCloseEvent* event) {
    // A close is never refused.
    event->accept();
    if (closed_)
        return;
    closed_ = true;
    int exitCode = 0;
    try {
        settings_->Write(identity::InternalName, SettingsSection, SettingsKey,
                         Dir1->Path().native());
    } catch (const std::exception& error) {
        // The program still ends, but not silently: the folder is not remembered.
        MessageBoxRequest box;
        box.text = error.what();
        box.title = identity::ApplicationTitle;
        box.icon = MessageIcon::Critical;
        ShowMessage(box);
        exitCode = 1;
    }
    endProgram_(exitCode);
}

std::filesystem::path frmMain::FolderPath() const {
    return Dir1->Path();
}

bool frmMain::BackupTicked() const {
    return Check4->isChecked();
}

std::string frmMain::ExtensionText() const {
    return Text1->toPlainText().toStdString();
}

bool frmMain::RemoveSpacesTicked() const {
    return Check1->isChecked();
}

bool frmMain::RemoveBreaksTicked() const {
    return Check2->isChecked();
}

void frmMain::SetStatus(const std::string& caption) {
    const QString text = Text(caption);
    if (text == lbstate->text())
        return;
    SetAutoSizeCaption(lbstate, text);
    Repaint(lbstate);
}

void frmMain::SetRatio(std::int16_t percent) {
    // Called at every character: only a change costs a caption and a repaint.
    if (percent == ratioShown_)
        return;
    ratioShown_ = percent;
    SetAutoSizeCaption(yasuoLv, QString::number(percent) + QLatin1Char('%'));
    Repaint(yasuoLv);
}

void frmMain::SetGaugeCells(Gauge gauge, std::int16_t cells) {
    GaugeLabel* label = gauge == Gauge::FileBar ? sp1 : sp2;
    // An empty gauge is emptied again at every character while its percentage rounds to 0.
    if (cells == label->text().size())
        return;
    label->ShowCells(cells); // repaints at once
    yieldGate_.ReadClockNext();
}

// At once, not at the next pass of the event loop.
void frmMain::Repaint(QLabel* label) {
    label->repaint();
    // Far slower than a step, and a page's file work may follow.
    yieldGate_.ReadClockNext();
}

void frmMain::Yield() {
    if (yieldGate_.PassDue()) {
        QCoreApplication::processEvents();
        yieldGate_.PassDone();
    }
    if (closed_)
        throw RunAbandoned{};
}

MessageAnswer frmMain::ShowMessage(const MessageBoxRequest& request) {
    const std::string& title =
        request.title.empty() ? std::string(identity::ApplicationTitle) : request.title;
    QMessageBox box(IconOf(request.icon), Text(title), Text(request.text),
                    ButtonsOf(request.buttons), this);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(ButtonOf(request.defaultButton));
    return AnswerOf(box.exec());
}

} // namespace velnor
