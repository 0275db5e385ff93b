#include "ui/qt/frmMain.h"

#include "core/identity.h"
#include "ui/qt/designed_widget.h"
#include "ui/qt/directory_list.h"
#include "ui/qt/extension_box.h"
#include "ui/qt/frmAbout.h"
#include "ui/qt/gauge_label.h"
#include "ui/qt/message_box.h"
#include "ui/qt/qsettings_store.h"
#include "ui/qt/twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace velnor {

namespace {

using namespace frmMain_design;

QIcon VelnorIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 72})
        icon.addFile(QString(":/icons/velnor-%1.png").arg(size), QSize(size, size));
    return icon;
}

// A cell is a half-width character, so the full gauge spans its designed
// width whatever the width of "|" in the font.
void SetUpGauge(GaugeLabel* gauge) {
    QFont font = gauge->font();
    const qreal cell = GaugeCellTwips * gauge->logicalDpiX() / 1440.0;
    font.setLetterSpacing(QFont::AbsoluteSpacing,
                          cell - QFontMetricsF(font).horizontalAdvance(QLatin1Char('|')));
    gauge->setFont(font);
    gauge->ShowCells(60);
}

} // namespace

frmMain::frmMain(frmMainServices services, QWidget* parent)
    : QWidget(parent), drives_(services.drives ? services.drives : DriveSource(&MountedDrives)),
      endProgram_(services.endProgram ? services.endProgram
                                      : [](int code) { QCoreApplication::exit(code); }),
      form_(*this, services.settings ? services.settings : std::make_shared<QSettingsStore>(),
            services.makeFileSystem) {
    setWindowTitle(identity::ApplicationTitle);
    setWindowIcon(VelnorIcon());
    resize(TwipsRect({0, 0, ClientWidth, ClientHeight}, this).size());
    CreateControls();
    form_.Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::CreateControls() {
    for (int index = 0; index < ControlCount; ++index) {
        const design::ControlDesign& design = Controls()[index];
        QWidget* container =
            design.container == design::OnForm ? this : controls_[design.container];
        if (design.kind == design::ControlKind::DriveList) {
            controls_[index] = new DriveList(drives_, container);
        } else if (design.kind == design::ControlKind::DirectoryList) {
            controls_[index] = new DirectoryList(container);
        } else if (index == sp1 || index == sp2) {
            controls_[index] = SetUpDesignedLabel(new GaugeLabel(container), design);
        } else {
            controls_[index] = MakeDesignedWidget(design, container);
            continue;
        }
        PlaceAsDesigned(controls_[index], design);
    }
    // Its two lines may need a few pixels more than the designed box; the frames
    // below leave room for them.
    auto* const help = Control<QLabel>(Label3);
    help->resize(help->width(), std::max(help->height(), help->heightForWidth(help->width())));
    SetUpGauge(Control<GaugeLabel>(sp2));
    SetUpGauge(Control<GaugeLabel>(sp1));

    for (std::size_t i = 1; i < FocusOrder.size(); ++i)
        setTabOrder(controls_[FocusOrder[i - 1]], controls_[FocusOrder[i]]);
    controls_[FocusOrder.front()]->setFocus();

    form::frmMain* const form = &form_;
    connect(Control<QPushButton>(Command1), &QPushButton::clicked, this,
            [form] { form->Command1_Click(); });
    connect(Control<QPushButton>(Command2), &QPushButton::clicked, this,
            [form] { form->Command2_Click(); });
    connect(Control<QPushButton>(Command3), &QPushButton::clicked, this,
            [form] { form->Command3_Click(); });
    connect(Control<DriveList>(Drive1), &DriveList::DriveChanged, this,
            [form] { form->Drive1_Change(); });
    connect(Control<DirectoryList>(Dir1), &DirectoryList::Opened, this,
            [form](int line) { form->Dir1_Open(static_cast<std::size_t>(line)); });
}

void frmMain::closeEvent(QCloseEvent* event) {
    // A close is never refused.
    event->accept();
    form_.Form_Unload();
}

bool frmMain::BackupTicked() const {
    return Control<QCheckBox>(Check4)->isChecked();
}

std::string frmMain::ExtensionText() const {
    return Control<ExtensionBox>(Text1)->toPlainText().toStdString();
}

bool frmMain::RemoveSpacesTicked() const {
    return Control<QCheckBox>(Check1)->isChecked();
}

bool frmMain::RemoveBreaksTicked() const {
    return Control<QCheckBox>(Check2)->isChecked();
}

std::filesystem::path frmMain::Drive() const {
    return Control<DriveList>(Drive1)->Drive();
}

void frmMain::SetCaption(frmMain_design::Control label, const std::string& caption) {
    if (label == sp1 || label == sp2) {
        // A gauge's caption is its lit cells; it repaints only what changed.
        Control<GaugeLabel>(label)->ShowCells(static_cast<int>(caption.size()));
    } else {
        SetAutoSizeCaption(Control<QLabel>(label), QString::fromStdString(caption));
        Control<QLabel>(label)->repaint();
    }
    // Far slower than a step, and a page's file work may follow.
    yieldGate_.ReadClockNext();
}

void frmMain::ShowFolders(const form::FolderListing& listing) {
    Control<DirectoryList>(Dir1)->ShowFolders(listing);
}

MessageAnswer frmMain::ShowMessage(const MessageBoxRequest& request) {
    return ShowMessageBox(this, request);
}

void frmMain::ShowAbout() {
    // Modal and without an owner; it exists only while it is shown.
    frmAbout about;
    about.exec();
}

void frmMain::Yield() {
    if (yieldGate_.PassDue()) {
        QCoreApplication::processEvents();
        yieldGate_.PassDone();
    }
}

void frmMain::EndProgram(int exitStatus) {
    endProgram_(exitStatus);
}

} // namespace velnor
