#include "tests/ui/qt/ui_fixture.h"
#include "ui/qt/directory_list.h"
#include "ui/qt/system_language.h"

#include <QCheckBox>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
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
    // Clicks the control at the given character step (1-based) of the run; sp1
    // lights its first cell at the first step, so yields from then on are steps.
    void ClickAtStep(std::size_t step, const char* control) {
        window->OnYield = [this, step, control, steps = std::size_t{0}](std::size_t) mutable {
            if (window->Run().Gauges().FileBarCells != 0 && ++steps == step)
                Find<QAbstractButton>(control)->click();
        };
    }
    void Untick(const char* check) { Find<QCheckBox>(check)->setChecked(false); }
    std::string Status() const { return Find<QLabel>("lbstate")->text().toStdString(); }
    std::string Site() const { return tree.Path("site").native(); }
};

// The boxes as this toolkit shows them: a second Start asks before it overwrites
// the backup, and Restore asks, then tells it is done.
TEST_F(MainWindowButtons, StartAndRestoreShowTheirBoxesWithTheirButtonsAndIcons) {
    tree.WriteFile("site/index.htm", Page);
    MakeWindow().show();
    {
        BoxAnswerer answerer(QMessageBox::No);
        Press("Command1"); // asks nothing: there is no backup yet
        Press("Command1");
        const BoxSeen asked{QString::fromStdString(Site() + ".bak 已经存在,是否继续?"), "覆盖文件",
                            QMessageBox::Yes | QMessageBox::No, QMessageBox::NoIcon,
                            QMessageBox::Yes};
        EXPECT_EQ(answerer.boxes, std::vector<BoxSeen>{asked});
    }
    BoxAnswerer answerer(QMessageBox::Ok);
    Press("Command2");
    const BoxSeen asked{"你确定要还原备份文件吗?", "Velnor", QMessageBox::Ok | QMessageBox::Cancel};
    const BoxSeen done{"文件已经全部还原.", "Velnor", QMessageBox::Ok, QMessageBox::Warning};
    EXPECT_EQ(answerer.boxes, (std::vector<BoxSeen>{asked, done}));
    EXPECT_EQ(tree.ReadFile("site/index.htm"), Page);
}

// As on Windows: Enter clicks the button that has the focus, in the language of
// the desktop's own boxes.
TEST_F(MainWindowButtons, EnterClicksTheFocusedButtonAndTheBoxSpeaksTheDesktopsLanguage) {
    UseQtTranslations(QLocale(QLocale::Chinese, QLocale::China));
    MakeWindow().show();
    std::vector<QString> buttons;
    BoxAnswerer answerer(QMessageBox::Cancel, [&buttons](QWidget* modal) {
        for (QAbstractButton* button : qobject_cast<QMessageBox*>(modal)->buttons())
            buttons.push_back(button->text());
    });
    Find<QPushButton>("Command2")->setFocus();
    QTest::keyClick(Find<QPushButton>("Command2"), Qt::Key_Return);
    ASSERT_EQ(answerer.boxes.size(), 1u);
    EXPECT_EQ(answerer.boxes[0].text, "你确定要还原备份文件吗?");
    EXPECT_EQ(buttons, (std::vector<QString>{"确定", "取消"}));
}

TEST_F(MainWindowButtons, Check1ClickedDuringARunTakesEffectFromTheNextCharacter) {
    tree.WriteFile("site/page.htm", "a b c d");
    MakeWindow().show();
    Untick("Check1");
    Untick("Check2");
    Untick("Check4");
    ClickAtStep(3, "Check1");
    Press("Command1");
    EXPECT_EQ(tree.ReadFile("site/page.htm"), "a b cd");
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
    ClickAtStep(3, "Command3");
    Press("Command1");

    const BoxSeen about{{}, "关于 Velnor", {}, {}, QMessageBox::NoButton};
    EXPECT_EQ(answerer.boxes, std::vector<BoxSeen>{about});
    EXPECT_EQ(yieldsWhileOpen, 0u);
    EXPECT_EQ(pageWhileOpen, Page);
    EXPECT_EQ(tree.ReadFile("site/page.htm"), Compacted);
    EXPECT_EQ(Status(), "已经完成任务.");
}

TEST_F(MainWindowButtons, ClosingDuringARunStopsItAtItsYieldAndStoresTheFolder) {
    for (const char* name : {"site/a.htm", "site/b.htm", "site/c.htm"})
        tree.WriteFile(name, Page);
    MakeWindow().show();
    std::size_t yieldsAtClose = 0;
    window->OnYield = [&](std::size_t yield) {
        if (yieldsAtClose == 0 && Status().ends_with("b.htm") &&
            window->Run().Gauges().FileBarCells != 0) {
            yieldsAtClose = yield;
            window->close();
        }
    };
    Press("Command1");

    ASSERT_NE(yieldsAtClose, 0u);
    EXPECT_EQ(window->Yields, yieldsAtClose);
    EXPECT_EQ(Remembered(), Site());
    EXPECT_EQ(exitCodes, std::vector<int>{0});
    EXPECT_EQ(tree.ReadFile("site/b.htm"), Page);
    EXPECT_FALSE(window->Run().Running());
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

// In the system's words; Drive1 keeps the pick.
TEST_F(MainWindowButtons, FoldersThatCannotBeOpenedAreReportedAndDir1Stays) {
    tree.MakeFolder("usb/photos");
    const std::filesystem::path usb = tree.Path("usb");
    const std::filesystem::path gone = tree.Path("gone");
    BoxAnswerer answerer;
    MakeWindow({.drives = [&] {
        return std::vector<DriveEntry>{{"/", {}, false}, {usb, "USB", true}, {gone, {}, true}};
    }}).show();
    auto* drives = Find<DriveList>("Drive1");
    auto* folders = Find<DirectoryList>("Dir1");
    QTest::keyClick(drives, Qt::Key_Down);
    EXPECT_EQ(folders->Path(), usb);
    EXPECT_TRUE(answerer.boxes.empty());
    QTest::keyClick(drives, Qt::Key_Down);
    EXPECT_EQ(folders->Path(), usb);
    EXPECT_EQ(drives->Drive(), gone);

    std::filesystem::remove(tree.Path("usb/photos"));
    folders->setCurrentItem(folders->findItems("photos", Qt::MatchRecursive).value(0));
    QTest::keyClick(folders, Qt::Key_Return);
    EXPECT_EQ(folders->Path(), usb);
    const auto failed = [](const std::filesystem::path& path) {
        return BoxSeen{QString::fromStdString(path.native() + ": No such file or directory"),
                       "Velnor", QMessageBox::Ok};
    };
    EXPECT_EQ(answerer.boxes,
              (std::vector<BoxSeen>{failed(gone), failed(tree.Path("usb/photos"))}));
    window->close();
    EXPECT_EQ(Remembered(), usb.native());
}

TEST_F(MainWindowButtons, AFailedStoreAtCloseIsReportedAndTheProgramStillEnds) {
    settings->failWrites = "/home/user/.config/Trimora/Trimora.conf: disk full";
    MakeWindow().show();
    BoxAnswerer answerer;
    window->close();
    const BoxSeen failed{QString::fromStdString(settings->failWrites), "Velnor", QMessageBox::Ok,
                         QMessageBox::Critical};
    EXPECT_EQ(answerer.boxes, std::vector<BoxSeen>{failed});
    EXPECT_EQ(exitCodes, std::vector<int>{1});
}

} // namespace
} // namespace velnor::test
