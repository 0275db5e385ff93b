#include "ui/qt/frmMain.h"

#include "core/identity.h"
#include "core/text/display_path.h"
#include "ui/qt/directory_list.h"
#include "ui/qt/extension_box.h"
#include "ui/qt/frmAbout.h"
#include "ui/qt/gauge_label.h"
#include "ui/qt/qsettings_store.h"
#include "ui/qt/twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <system_error>

namespace velnor {

namespace {

const char* const SettingsSection = "Root";
const char* const SettingsKey = "Path";

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// An auto-size label takes the size of its text, on one line, at every change.
void SetCaption(QLabel* label, const QString& caption) {
    label->setText(caption);
    label->adjustSize();
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
    resize(Place(0, 0, 7950, 5940).size());
    CreateControls();
    SetTabOrder();
    Form_Load();
}

frmMain::~frmMain() = default;

QRect frmMain::Place(int left, int top, int width, int height) const {
    return TwipsRect(left, top, width, height, logicalDpiX(), logicalDpiY());
}

QLabel* frmMain::AddLabel(QWidget* container, const char* name, const QString& caption, int left,
                          int top, int width, int height) {
    return Arrange(new QLabel(container), name, caption, left, top, width, height);
}

QLabel* frmMain::Arrange(QLabel* label, const char* name, const QString& caption, int left, int top,
                         int width, int height) {
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setText(caption);
    label->setGeometry(Place(left, top, width, height));
    return label;
}

QLabel* frmMain::AddAutoSizeLabel(const char* name, const QString& caption, int left, int top) {
    QLabel* label = AddLabel(this, name, caption, left, top, 0, 0);
    SetCaption(label, caption);
    return label;
}

GaugeLabel* frmMain::AddGauge(const char* name, const QColor& text, int left, int top) {
    auto* gauge = new GaugeLabel(this);
    Arrange(gauge, name, {}, left, top, 0, 0);
    QPalette palette = gauge->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Window, QColor(224, 224, 224));
    gauge->setPalette(palette);
    gauge->setAutoFillBackground(true);
    // A cell is a half-width character, 90 twips, so the full gauge spans its designed
    // 5400 twips whatever the width of "|" in the font.
    QFont font = gauge->font();
    const qreal cell = 90 * logicalDpiX() / 1440.0;
    font.setLetterSpacing(QFont::AbsoluteSpacing,
                          cell - QFontMetricsF(font).horizontalAdvance(QLatin1Char('|')));
    gauge->setFont(font);
    gauge->ShowCells(60);
    return gauge;
}

void frmMain::CreateControls() {
    Label3 = AddLabel(this, "Label3",
                      "    在选择目录中设置你要压缩的网页位置,根据你的需要设置压缩项目,"
                      "建议一定要选中备份,最后点执行开始压缩代码",
                      240, 240, 6015, 375);
    Label3->setWordWrap(true);
    // Its two lines may need a few pixels more than the designed box; the frames
    // below leave room for them.
    Label3->resize(Label3->width(),
                   std::max(Label3->height(), Label3->heightForWidth(Label3->width())));

    DirFrame = new QGroupBox("选择文件目录", this);
    DirFrame->setObjectName("选择文件目录");
    DirFrame->setGeometry(Place(240, 840, 3375, 3975));
    Drive1 = new DriveList(drives_, DirFrame);
    Drive1->setObjectName("Drive1");
    Drive1->setGeometry(Place(240, 360, 2895, 300));
    Dir1 = new DirectoryList(DirFrame);
    Dir1->setObjectName("Dir1");
    Dir1->setGeometry(Place(240, 720, 2895, 3030));

    Frame1 = new QGroupBox("设置", this);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(Place(3720, 840, 2415, 3975));
    Label1 = AddLabel(Frame1, "Label1", "应用文件", 240, 360, 975, 255);
    Text1 = new ExtensionBox("htm|html|asp", Frame1);
    Text1->setObjectName("Text1");
    Text1->setGeometry(Place(240, 600, 1935, 735));
    Label2 = AddLabel(Frame1, "Label2", "采取措施", 240, 1560, 855, 255);
    const auto addCheck = [this](const char* name, const QString& caption, int top) {
        auto* check = new QCheckBox(caption, Frame1);
        check->setObjectName(name);
        check->setGeometry(Place(240, top, 1935, 255));
        check->setChecked(true);
        return check;
    };
    Check1 = addCheck("Check1", "把多余空格删除", 1800);
    Check2 = addCheck("Check2", "把多余换行符删除", 2040);
    Check4 = addCheck("Check4", "备份到bak文件夹", 2640);

    const auto addButton = [this](const char* name, const QString& caption, int top) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(name);
        button->setGeometry(Place(6360, top, 1215, 495));
        // No default button: Enter in the window presses nothing.
        button->setAutoDefault(false);
        button->setDefault(false);
        return button;
    };
    Command1 = addButton("Command1", "开始压缩", 960);
    Command2 = addButton("Command2", "还原备份", 1560);
    Command3 = addButton("Command3", "关于程序", 2160);

    lbstate = AddAutoSizeLabel("lbstate", "准备就绪", 240, 4920);
    Label12 = AddAutoSizeLabel("Label12", "压缩", 240, 5280);
    sp2 = AddGauge("sp2", QColor(255, 0, 0), 720, 5280);
    Label10 = AddAutoSizeLabel("Label10", "压缩成", 6360, 5280);
    yasuoLv = AddAutoSizeLabel("yasuoLv", "80%", 6960, 5280);
    Label9 = AddAutoSizeLabel("Label9", "文件", 240, 5520);
    sp1 = AddGauge("sp1", QColor(0, 0, 255), 720, 5520);

    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmMain::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmMain::Command3_Click);
    connect(Drive1, &DriveList::DriveChanged, this, &frmMain::Drive1_Change);
    connect(Dir1, &DirectoryList::OpenFailed, this, &frmMain::ShowFailure);
}

void frmMain::SetTabOrder() {
    QWidget* const order[] = {Drive1,   Dir1,   Text1,    Check1,  Check2,
                              Command1, Check4, Command2, Command3};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    Drive1->setFocus();
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
    SetCaption(lbstate, text);
    Repaint(lbstate);
}

void frmMain::SetRatio(std::int16_t percent) {
    // Called at every character: only a change costs a caption and a repaint.
    if (percent == ratioShown_)
        return;
    ratioShown_ = percent;
    SetCaption(yasuoLv, QString::number(percent) + QLatin1Char('%'));
    Repaint(yasuoLv);
}

void frmMain::SetGaugeCells(Gauge gauge, std::int16_t cells) {
    GaugeLabel* label = gauge == Gauge::FileBar ? sp1 : sp2;
    // An empty gauge is emptied again at every character while its percentage rounds to 0.
    if (cells == label->text().size())
        return;
    label->ShowCells(cells);
    Repaint(label);
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
