#include "about/frmAbout.h"

#include "tests/about/scripted_sys_info.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace velnor {
namespace {

// One application for every test of this executable (gmock_main owns main).
class QtApplication : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "velnor_about_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const qtApplication =
    ::testing::AddGlobalTestEnvironment(new QtApplication);

using test::MsinfoKey;
using test::ScriptedSysInfo;

const std::string HardinfoPath = MsinfoKey + "\"PATH\"=\"/usr/bin/hardinfo\"\n";

template <typename T> T* Control(const QWidget& box, const char* name) {
    T* control = box.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

QString Text(const QWidget& box, const char* name) {
    if (auto* label = box.findChild<QLabel*>(QString::fromLatin1(name))) {
        return label->text();
    }
    return Control<QAbstractButton>(box, name)->text();
}

// Shows the box as the main window does, without blocking, and makes it active.
void Open(frmAbout& box) {
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    QApplication::setActiveWindow(&box);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
}

void Press(frmAbout& box, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target != nullptr ? target : &box, key, modifiers);
}

TEST(frmAboutTest, LoadSetsCaptionTitleAndVersionAndTheFixedTexts) {
    ScriptedSysInfo sysInfo("");
    frmAbout box(sysInfo.Services());
    EXPECT_EQ(box.windowTitle(), "关于 Velnor");
    const std::vector<std::pair<const char*, QString>> texts = {
        {"lblTitle", "Velnor"},
        {"lblVersion", "版本 1.0.0"},
        {"Label5", "作者:Velnor 开发组"},
        {"Label6", "主页:https://velnor.example.org"},
        {"Label7", "邮箱:dev@velnor.example.org"},
        {"Label8", "2005-8-28"},
        {"cmdOK", "确定"},
        {"cmdSysInfo", "系统信息(&S)..."},
    };
    for (const auto& [name, text] : texts) {
        EXPECT_EQ(Text(box, name), text) << name;
    }
}

TEST(frmAboutTest, EveryOpeningShowsTheSameTexts) {
    const char* const names[] = {"lblTitle", "lblVersion", "Label5", "Label6", "Label7", "Label8"};
    ScriptedSysInfo sysInfo("");
    QStringList first;
    {
        frmAbout box(sysInfo.Services());
        first << box.windowTitle();
        for (const char* name : names) {
            first << Text(box, name);
        }
    }
    frmAbout again(sysInfo.Services());
    QStringList second{again.windowTitle()};
    for (const char* name : names) {
        second << Text(again, name);
    }
    EXPECT_EQ(second, first);
}

TEST(frmAboutTest, PlacesControlsFromTwipsAt96Dpi) {
    ScriptedSysInfo sysInfo("");
    frmAbout box(sysInfo.Services());
    ASSERT_EQ(box.logicalDpiX(), 96);
    ASSERT_EQ(box.logicalDpiY(), 96);
    EXPECT_EQ(box.size(), QSize(382, 237)); // 5730 x 3555
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    EXPECT_EQ(box.geometry().topLeft(), QPoint(156, 129)); // 2340, 1935
    const std::vector<std::pair<const char*, QRect>> places = {
        {"cmdOK", QRect(275, 175, 100, 23)},
        {"cmdSysInfo", QRect(276, 205, 99, 23)},
        {"lblTitle", QRect(16, 16, 259, 32)},
        {"lblVersion", QRect(16, 52, 259, 15)},
    };
    for (const auto& [name, place] : places) {
        EXPECT_EQ(Control<QWidget>(box, name)->geometry(), place) << name;
    }
    EXPECT_EQ(Control<QWidget>(box, "Label7")->pos(), QPoint(18, 112));
    EXPECT_EQ(Control<QWidget>(box, "Label7")->height(), 17);
    EXPECT_EQ(Control<QWidget>(box, "Label8")->pos(), QPoint(18, 136));
}

TEST(frmAboutTest, AuthorAndHomePageLabelsTakeTheSizeOfTheirText) {
    ScriptedSysInfo sysInfo("");
    frmAbout box(sysInfo.Services());
    auto* label5 = Control<QLabel>(box, "Label5");
    auto* label6 = Control<QLabel>(box, "Label6");
    EXPECT_EQ(label5->pos(), QPoint(18, 80));
    EXPECT_EQ(label6->pos(), QPoint(18, 96));
    EXPECT_EQ(label5->size(), label5->sizeHint());
    EXPECT_EQ(label6->size(), label6->sizeHint());
}

TEST(frmAboutTest, NoLabelCutsItsTextOff) {
    ScriptedSysInfo sysInfo("");
    frmAbout box(sysInfo.Services());
    for (QLabel* label : box.findChildren<QLabel*>()) {
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->objectName().toStdString();
    }
}

TEST(frmAboutTest, WindowIsAFixedDialogWithOnlyACloseBox) {
    ScriptedSysInfo sysInfo("");
    frmAbout box(sysInfo.Services());
    const Qt::WindowFlags flags = box.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint));
}

TEST(frmAboutTest, TitleIsBlack) {
    ScriptedSysInfo sysInfo("");
    frmAbout box(sysInfo.Services());
    EXPECT_EQ(Control<QLabel>(box, "lblTitle")->palette().color(QPalette::WindowText),
              QColor(0, 0, 0));
}

TEST(frmAboutTest, EtchedRuleIsAGreyLineOverATwoPixelWhiteLine) {
    ScriptedSysInfo sysInfo("");
    frmAbout box(sysInfo.Services());
    const QImage image = box.grab().toImage();
    ASSERT_EQ(image.size(), QSize(382, 237));
    const QColor grey(128, 128, 128);
    const QColor white(255, 255, 255);
    auto at = [&](int x, int y) {
        return image.pixelColor(x, y);
    };
    for (int x : {6, 100, 376}) {
        EXPECT_EQ(at(x, 163), grey) << x; // 2445 twips
    }
    for (int x : {7, 100, 376}) {
        EXPECT_EQ(at(x, 164), white) << x; // 2460 twips
        EXPECT_EQ(at(x, 165), white) << x;
    }
    EXPECT_NE(at(5, 163), grey);  // starts at 90 twips
    EXPECT_NE(at(6, 164), white); // starts at 105 twips
    EXPECT_NE(at(377, 163), grey);
    EXPECT_NE(at(100, 162), grey);
    EXPECT_NE(at(100, 166), white);
}

TEST(frmAboutTest, OkHasTheFocusAtOpeningAndTabGoesToSysInfoAndBack) {
    ScriptedSysInfo sysInfo("");
    frmAbout box(sysInfo.Services());
    Open(box);
    auto* ok = Control<QPushButton>(box, "cmdOK");
    auto* sysInfoButton = Control<QPushButton>(box, "cmdSysInfo");
    EXPECT_EQ(QApplication::focusWidget(), ok);
    Press(box, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), sysInfoButton);
    Press(box, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), ok);
}

TEST(frmAboutTest, EscAndEnterOnOkClickOkWhichCloses) {
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        SCOPED_TRACE(key);
        ScriptedSysInfo sysInfo(HardinfoPath);
        frmAbout box(sysInfo.Services());
        QSignalSpy okClicks(Control<QPushButton>(box, "cmdOK"), &QPushButton::clicked);
        Open(box);
        Press(box, key);
        EXPECT_EQ(okClicks.count(), 1);
        EXPECT_FALSE(box.isVisible());
        EXPECT_TRUE(sysInfo.starts.isEmpty());
    }
}

TEST(frmAboutTest, EscEndsTheModalDisplay) {
    ScriptedSysInfo sysInfo("");
    frmAbout box(sysInfo.Services());
    QTimer::singleShot(0, &box, [&box] {
        EXPECT_EQ(QApplication::activeModalWidget(), &box);
        Press(box, Qt::Key_Escape);
    });
    QTimer::singleShot(30000, &box, [&box] { box.done(-1); }); // a failure must not hang
    EXPECT_EQ(box.exec(), QDialog::Accepted);
}

TEST(frmAboutTest, EnterAfterTabbingToSysInfoStartsTheToolAndStaysOpen) {
    ScriptedSysInfo sysInfo(HardinfoPath);
    frmAbout box(sysInfo.Services());
    Open(box);
    Press(box, Qt::Key_Tab);
    Press(box, Qt::Key_Return);
    EXPECT_EQ(sysInfo.starts, QStringList{"/usr/bin/hardinfo"});
    EXPECT_TRUE(box.isVisible());
}

TEST(frmAboutTest, AltSClicksSysInfo) {
    ScriptedSysInfo sysInfo(HardinfoPath);
    frmAbout box(sysInfo.Services());
    Open(box);
    QSignalSpy clicks(Control<QPushButton>(box, "cmdSysInfo"), &QPushButton::clicked);
    Press(box, Qt::Key_S, Qt::AltModifier);
    // An access key presses the button and lets it go a moment later.
    EXPECT_TRUE(clicks.count() == 1 || clicks.wait());
    EXPECT_EQ(sysInfo.starts, QStringList{"/usr/bin/hardinfo"});
    EXPECT_TRUE(box.isVisible());
}

TEST(frmAboutTest, CloseBoxClosesLikeOk) {
    ScriptedSysInfo sysInfo("");
    frmAbout box(sysInfo.Services());
    Open(box);
    EXPECT_TRUE(box.close());
    EXPECT_FALSE(box.isVisible());
}

TEST(frmAboutTest, PublicGetKeyValueReadsThroughTheBoxsRegistry) {
    ScriptedSysInfo sysInfo(HardinfoPath);
    frmAbout box(sysInfo.Services());
    QString keyVal;
    EXPECT_TRUE(box.GetKeyValue(HKEY_LOCAL_MACHINE,
                                QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                                QStringLiteral("PATH"), keyVal));
    EXPECT_EQ(keyVal, "/usr/bin/hardinfo");
}

// Calls inspect on the next message box once it is up, then closes it with its
// own button. Gives up, leaving seen false, if none comes.
class NextMessageBox : public QObject {
public:
    explicit NextMessageBox(std::function<void(QMessageBox&)> inspect)
        : inspect_(std::move(inspect)) {
        connect(&timer_, &QTimer::timeout, this, &NextMessageBox::Look);
        timer_.start(10);
    }
    bool seen = false;

private:
    void Look() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            if (++tries_ == 500) {
                timer_.stop();
            }
            return;
        }
        timer_.stop();
        seen = true;
        inspect_(*box);
        if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
            ok->click();
        } else {
            box->done(0);
        }
    }

    std::function<void(QMessageBox&)> inspect_;
    QTimer timer_;
    int tries_ = 0;
};

TEST(frmAboutTest, WithoutTheToolTheRealMessageShowsOverTheBoxWhichStaysOpen) {
    ScriptedSysInfo scripted("");
    SysInfoServices services = scripted.Services();
    services.showMessage = SystemSysInfoServices().showMessage;
    frmAbout box(services);
    Open(box);
    NextMessageBox answer([&box](QMessageBox& message) {
        EXPECT_EQ(message.text(), "此时系统信息不可用");
        EXPECT_EQ(message.windowTitle(), "Velnor");
        EXPECT_EQ(message.icon(), QMessageBox::NoIcon);
        EXPECT_EQ(message.standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        EXPECT_EQ(message.buttons().size(), 1);
        EXPECT_EQ(message.parentWidget(), &box);
        EXPECT_TRUE(message.isModal());
    });
    Control<QPushButton>(box, "cmdSysInfo")->click();
    EXPECT_TRUE(answer.seen);
    EXPECT_TRUE(box.isVisible());
    EXPECT_TRUE(Control<QPushButton>(box, "cmdOK")->isEnabled());
}

} // namespace
} // namespace velnor
