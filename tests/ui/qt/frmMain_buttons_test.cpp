#include "tests/ui/qt/ui_fixture.h"
#include "ui/qt/directory_list.h"
#include "ui/qt/message_box.h"
#include "ui/qt/system_language.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace velnor::test {
namespace {

const char* const Page = "<p>\r\n    Hello,   world  </p>\r\n\r\n<b> x </b>   y\r\n";
const char* const Compacted = "<p>Hello,world</p><b>x</b>y";

// A page folder "site" in a temporary tree, remembered, so the window opens on it.
class MainWindowButtons : public WindowFixture {
protected:
    MainWindowButtons() {
        tree.MakeFolder("site");
        Remembered() = Site();
    }

    void Press(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
    void Untick(const char* check) { Find<QCheckBox>(check)->setChecked(false); }
    std::string Status() const { return Find<QLabel>("lbstate")->text().toStdString(); }
    std::string Site() const { return tree.Path("site").native(); }
};

// Each control's event reaches its procedure in the form, and each read the
// form makes names its own control; Tab walks the designed focus order, Text1
// takes no line break typed or pasted, and, as on Windows, Enter clicks the
// button that has the focus, in the language of the desktop's own boxes.
TEST_F(MainWindowButtons, EachEventReachesTheFormAndEachReadItsControl) {
    UseQtTranslations(QLocale(QLocale::Chinese, QLocale::China));
    tree.MakeFolder("usb/photos");
    const std::filesystem::path usb = std::filesystem::canonical(tree.Path("usb"));
    MakeWindow({.drives = [&] {
        return std::vector<DriveEntry>{{"/", {}, false}, {usb, "USB", true}};
    }}).show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    for (const char* name : {"Drive1", "Dir1", "Text1", "Check1", "Check2", "Command1", "Check4",
                             "Command2", "Command3", "Drive1"}) {
        ASSERT_EQ(QApplication::focusWidget(), Find<QWidget>(name)) << name;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    Untick("Check1");
    EXPECT_EQ((std::array{window->RemoveSpacesTicked(), window->RemoveBreaksTicked(),
                          window->BackupTicked()}),
              (std::array{false, true, true}));
    Find<QCheckBox>("Check1")->setChecked(true);
    Untick("Check4");
    EXPECT_EQ((std::array{window->RemoveSpacesTicked(), window->RemoveBreaksTicked(),
                          window->BackupTicked()}),
              (std::array{true, true, false}));
    auto* text = Find<QPlainTextEdit>("Text1");
    text->moveCursor(QTextCursor::End);
    QTest::keyClick(text, Qt::Key_Return);
    QTest::keyClick(text, Qt::Key_Enter);
    QTest::keyClicks(text, "|php");
    QApplication::clipboard()->setText("|shtml\r\n|htx\n|asa\r");
    text->paste();
    EXPECT_EQ(window->ExtensionText(), "htm|html|asp|php|shtml|htx|asa"); // and no Tab

    QTest::keyClick(Find<DriveList>("Drive1"), Qt::Key_Down);
    EXPECT_EQ(window->Form().Dir1().path, usb);
    auto* folders = Find<DirectoryList>("Dir1");
    folders->setCurrentItem(folders->findItems("photos", Qt::MatchRecursive).value(0));
    QTest::keyClick(folders, Qt::Key_Return);
    EXPECT_EQ(window->Form().Dir1().path, usb / "photos");

    std::vector<QString> buttons;
    BoxAnswerer answerer(QMessageBox::Cancel, [&buttons](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            for (QAbstractButton* button : box->buttons())
                buttons.push_back(button->text());
    });
    Press("Command1");
    EXPECT_EQ(Status(), "已经完成任务.");
    Find<QPushButton>("Command2")->setFocus();
    QTest::keyClick(Find<QPushButton>("Command2"), Qt::Key_Return);
    Press("Command3");
    ASSERT_EQ(answerer.boxes.size(), 2u);
    EXPECT_EQ(answerer.boxes[0].text, "你确定要还原备份文件吗?");
    EXPECT_EQ(buttons, (std::vector<QString>{"确定", "取消"}));
    EXPECT_EQ(answerer.boxes[1].title, "关于 Velnor");
    window->close();
    EXPECT_EQ(Remembered(), (usb / "photos").native());
    EXPECT_EQ(exitCodes, std::vector<int>{0});
}

// What a run shows is on the screen before the event loop runs again.
TEST_F(MainWindowButtons, ANewCaptionIsOnTheScreenAtOnce) {
    MakeWindow().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->Form().SetStatus("正在工作: " + Site() + "/index.htm");
    window->Form().SetRatio(74);
    for (const char* name : {"lbstate", "yasuoLv"}) {
        SCOPED_TRACE(name);
        QLabel* label = Find<QLabel>(name);
        const QImage shown = window->screen()
                                 ->grabWindow(window->winId(), label->x(), label->y(),
                                              label->width(), label->height())
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shown, label->grab().toImage().convertToFormat(QImage::Format_RGB32));
    }
}

// Buttons, icon, default button, text and title as asked; the button pressed comes back.
TEST(MessageBoxTest, ShowsTheBoxAsAskedAndAnswersTheButtonPressed) {
    using Box = QMessageBox;
    const std::tuple<MessageBoxRequest, BoxSeen, Box::StandardButton, MessageAnswer> cases[] = {
        {{"a", "t", MessageButtons::YesNo, MessageIcon::None, MessageAnswer::Yes},
         {"a", "t", Box::Yes | Box::No, Box::NoIcon, Box::Yes},
         Box::No,
         MessageAnswer::No},
        {{"a", "t", MessageButtons::OkCancel, MessageIcon::Critical, MessageAnswer::Ok},
         {"a", "t", Box::Ok | Box::Cancel, Box::Critical, Box::Ok},
         Box::Cancel,
         MessageAnswer::Cancel},
        {{"a", "t", MessageButtons::Ok, MessageIcon::Exclamation, MessageAnswer::Ok},
         {"a", "t", Box::Ok, Box::Warning, Box::Ok},
         Box::Ok,
         MessageAnswer::Ok},
    };
    for (const auto& [asked, seen, press, answer] : cases) {
        BoxAnswerer answerer(press);
        EXPECT_EQ(ShowMessageBox(nullptr, asked), answer);
        EXPECT_EQ(answerer.boxes, std::vector<BoxSeen>{seen});
    }
}

// Modal and without an owner, the About box holds the run at its yield until it closes; then the
// run goes on.
TEST_F(MainWindowButtons, AboutOpenedDuringARunHoldsItUntilClosed) {
    tree.WriteFile("site/page.htm", Page);
    MakeWindow().show();
    Untick("Check4");
    std::size_t yieldsWhileOpen = 1;
    std::string pageWhileOpen;
    BoxAnswerer answerer(QMessageBox::Ok, [&](QWidget* about) {
        EXPECT_TRUE(about->isModal());
        EXPECT_EQ(about->parentWidget(), nullptr);
        const std::size_t yieldsAtOpen = window->Yields;
        for (int i = 0; i < 20; ++i)
            QApplication::processEvents();
        yieldsWhileOpen = window->Yields - yieldsAtOpen;
        pageWhileOpen = tree.ReadFile("site/page.htm");
    });
    // About clicked at the third character: sp1 lights its first cell at the
    // first step, so yields from then on are steps
    window->OnYield = [this, steps = 0](std::size_t) mutable {
        if (window->Form().Run().Gauges().FileBarCells != 0 && ++steps == 3)
            Find<QAbstractButton>("Command3")->click();
    };
    Press("Command1");

    const BoxSeen about{{}, "关于 Velnor", {}, {}, QMessageBox::NoButton};
    EXPECT_EQ(answerer.boxes, std::vector<BoxSeen>{about});
    EXPECT_EQ(yieldsWhileOpen, 0u);
    EXPECT_EQ(pageWhileOpen, Page);
    EXPECT_EQ(tree.ReadFile("site/page.htm"), Compacted);
    EXPECT_EQ(Status(), "已经完成任务.");
}

// At the latest, the calls between two clock reads after a pass interval.
TEST_F(MainWindowButtons, AClickDuringARunIsHandledOnceAPassIsDue) {
    tree.WriteFile("site/page.htm", std::string(3 * YieldGate::MaxCallsPerClockRead, ' '));
    MakeWindow().show();
    Untick("Check4");
    std::size_t handledAt = 0;
    std::size_t dueAt = 0;
    std::chrono::steady_clock::time_point due;
    QObject::connect(Find<QCheckBox>("Check1"), &QCheckBox::toggled, window.get(),
                     [&] { handledAt = window->Yields; });
    window->OnYield = [&](std::size_t yield) {
        if (yield == 3) {
            due = std::chrono::steady_clock::now() + YieldGate::PassInterval;
            QMetaObject::invokeMethod(Find<QCheckBox>("Check1"), &QCheckBox::click,
                                      Qt::QueuedConnection);
        } else if (yield == 4) {
            std::this_thread::sleep_until(due); // a pass is due from here on
            dueAt = yield;
        }
    };
    Press("Command1");
    EXPECT_NE(handledAt, 0u);
    EXPECT_LE(handledAt, dueAt + YieldGate::MaxCallsPerClockRead);
}

} // namespace
} // namespace velnor::test
