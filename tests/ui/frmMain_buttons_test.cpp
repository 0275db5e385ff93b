#include "about/frmAbout.h"
#include "engine/compact_text.h"
#include "platform/ansi_codec.h"
#include "tests/support/failing_file_system.h"
#include "tests/support/temp_tree.h"
#include "tests/ui/ui_fixture.h"
#include "ui/directory_list.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

namespace velnor::test {
namespace {

using Entries = std::vector<std::string>;

const char* const Page = "<p>\r\n    Hello,   world  </p>\r\n\r\n<b> x </b>   y\r\n";

std::string Compacted(std::string_view bytes) {
    RunCounters counters;
    return EncodeAnsi(CompactText(DecodeAnsi(bytes), RemovalOptions{true, true}, counters));
}

// A page folder "site" in a temporary tree, remembered, so the window opens on it.
class MainWindowButtons : public WindowFixture {
protected:
    MainWindowButtons() {
        tree.MakeFolder("site");
        Remember(tree.Path("site").native());
    }

    ProbedWindow& Open(frmMainServices services = {}) {
        MakeWindow(std::move(services));
        window->show();
        return *window;
    }
    void Press(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
    void Untick(const char* check) { Find<QCheckBox>(check)->setChecked(false); }
    std::string Status() const { return Find<QLabel>("lbstate")->text().toStdString(); }
    std::string Site() const { return tree.Path("site").native(); }

    TempTree tree;
};

TEST_F(MainWindowButtons, StartBacksUpAndCompactsThePagesOfDir1) {
    tree.WriteFile("site/index.htm", Page);
    tree.WriteFile("site/news/today.asp", Page);
    tree.WriteFile("site/notes.txt", Page);
    BoxAnswerer answerer;
    Open();
    Press("Command1");

    EXPECT_TRUE(answerer.boxes.empty());
    EXPECT_EQ(tree.ReadFile("site/index.htm"), Compacted(Page));
    EXPECT_EQ(tree.ReadFile("site/news/today.asp"), Compacted(Page));
    EXPECT_EQ(tree.ReadFile("site/notes.txt"), Page);
    EXPECT_EQ(tree.ReadFile("site.bak/index.htm"), Page);
    EXPECT_EQ(Status(), "已经完成任务.");
    EXPECT_NE(Find<QLabel>("yasuoLv")->text(), "0%");
    EXPECT_FALSE(window->GaugeCaption(Gauge::FileBar).empty());
}

TEST_F(MainWindowButtons, StartOverAnExistingBackupAsksAndNoLeavesEverything) {
    tree.WriteFile("site/index.htm", Page);
    tree.MakeFolder("site.bak");
    BoxAnswerer answerer(QMessageBox::No);
    Open();
    Press("Command1");

    ASSERT_EQ(answerer.boxes.size(), 1u);
    const BoxSeen& box = answerer.boxes[0];
    EXPECT_EQ(box.text.toStdString(), Site() + ".bak 已经存在,是否继续?");
    EXPECT_EQ(box.title, "覆盖文件");
    EXPECT_EQ(box.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.defaultButton, QMessageBox::Yes);
    EXPECT_EQ(box.icon, QMessageBox::NoIcon);
    EXPECT_EQ(tree.ReadFile("site/index.htm"), Page);
    EXPECT_EQ(tree.Entries("site.bak"), Entries{});
    EXPECT_EQ(Status(), "准备就绪");
}

TEST_F(MainWindowButtons, AFailingRunEndsInACriticalBoxTitledVelnor) {
    tree.WriteFile("site/index.htm", Page);
    auto failures = std::make_shared<ServiceFailures>();
    failures->FailOn(ServiceCall::ReadWholeFile, tree.Path("site/index.htm"), EIO);
    BoxAnswerer answerer;
    Open({.makeFileSystem = MakeFailingFileSystemFactory(failures)});
    Untick("Check4");
    Press("Command1");

    ASSERT_EQ(answerer.boxes.size(), 1u);
    const BoxSeen& box = answerer.boxes[0];
    EXPECT_TRUE(box.text.contains("Input/output error")) << box.text.toStdString();
    EXPECT_EQ(box.title, "Velnor");
    EXPECT_EQ(box.buttons, QMessageBox::Ok);
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_EQ(tree.ReadFile("site/index.htm"), Page);
}

TEST_F(MainWindowButtons, RestoreAsksThenCopiesTheBackupBackAndSaysSo) {
    tree.WriteFile("site/index.htm", "compacted");
    tree.WriteFile("site.bak/index.htm", Page);
    BoxAnswerer answerer(QMessageBox::Ok);
    Open();
    Press("Command2");

    ASSERT_EQ(answerer.boxes.size(), 2u);
    EXPECT_EQ(answerer.boxes[0].text, "你确定要还原备份文件吗?");
    EXPECT_EQ(answerer.boxes[0].title, "Velnor");
    EXPECT_EQ(answerer.boxes[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(answerer.boxes[0].defaultButton, QMessageBox::Ok);
    EXPECT_EQ(answerer.boxes[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(answerer.boxes[1].text, "文件已经全部还原.");
    EXPECT_EQ(answerer.boxes[1].title, "Velnor");
    EXPECT_EQ(answerer.boxes[1].buttons, QMessageBox::Ok);
    EXPECT_EQ(answerer.boxes[1].icon, QMessageBox::Warning);
    EXPECT_EQ(tree.ReadFile("site/index.htm"), Page);
}

TEST_F(MainWindowButtons, RestoreCancelledChangesNothing) {
    tree.WriteFile("site/index.htm", "compacted");
    tree.WriteFile("site.bak/index.htm", Page);
    BoxAnswerer answerer(QMessageBox::Cancel);
    Open();
    Press("Command2");

    EXPECT_EQ(answerer.boxes.size(), 1u);
    EXPECT_EQ(tree.ReadFile("site/index.htm"), "compacted");
}

TEST_F(MainWindowButtons, AboutOpensModallyWithoutOwnerAndReturnsWhenClosed) {
    Open();
    QWidget* parent = window.get();
    bool modal = false;
    ModalWatcher watcher([&](QWidget* about) {
        ASSERT_NE(qobject_cast<frmAbout*>(about), nullptr);
        parent = about->parentWidget();
        modal = about->isModal();
        about->close();
    });
    Press("Command3");
    EXPECT_EQ(watcher.Seen(), 1);
    EXPECT_EQ(parent, nullptr);
    EXPECT_TRUE(modal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MainWindowButtons, EnterInTheWindowPressesNoButton) {
    int madeFileSystems = 0;
    BoxAnswerer answerer(QMessageBox::Cancel);
    Open({.makeFileSystem = [&] {
        ++madeFileSystems;
        return MakeFileSystem();
    }});
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    for (const char* name : {"Drive1", "Text1", "Check1", "Check4"})
        QTest::keyClick(Find<QWidget>(name), Qt::Key_Return);
    QTest::keyClick(window.get(), Qt::Key_Return);
    QTest::keyClick(window.get(), Qt::Key_Escape);

    EXPECT_EQ(madeFileSystems, 0);
    EXPECT_TRUE(answerer.boxes.empty());
    EXPECT_EQ(window->ExtensionText(), "htm|html|asp");
}

// The runs below are watched at their yields; sp1 lights its first cell at the
// first character step, so yields from then on are character steps.
class MainWindowDuringARun : public MainWindowButtons {
protected:
    // Calls act at the given character step of the run (1-based).
    void AtStep(std::size_t step, std::function<void()> act) {
        window->OnYield = [this, step, act = std::move(act),
                           steps = std::size_t{0}](std::size_t) mutable {
            if (window->GaugeCaption(Gauge::FileBar).empty() || ++steps != step)
                return;
            act();
        };
    }
};

struct ToggleCase {
    bool tickedAtStart;
    std::size_t step; // Check1 is clicked during the yield after this character step
    const char* expected;
};

// With Check2 clear, Check1 alone decides the spaces of "a b c d". The first
// character is copied without a step, so step n scans character n + 1.
TEST_F(MainWindowDuringARun, Check1ClickedDuringARunTakesEffectFromTheNextCharacter) {
    const ToggleCase cases[] = {{false, 1, "a bcd"},  {false, 2, "a bcd"},    {false, 3, "a b cd"},
                                {false, 4, "a b cd"}, {false, 99, "a b c d"}, {true, 2, "ab c d"},
                                {true, 4, "abc d"}};
    for (const auto& toggle : cases) {
        tree.WriteFile("site/page.htm", "a b c d");
        Open();
        Find<QCheckBox>("Check1")->setChecked(toggle.tickedAtStart);
        Untick("Check2");
        Untick("Check4");
        AtStep(toggle.step,
               [this] { QTimer::singleShot(0, Find<QCheckBox>("Check1"), &QCheckBox::click); });
        Press("Command1");
        EXPECT_EQ(tree.ReadFile("site/page.htm"), toggle.expected)
            << "clicked at step " << toggle.step;
    }
}

TEST_F(MainWindowDuringARun, AboutOpenedDuringARunHoldsItUntilClosed) {
    tree.WriteFile("site/page.htm", Page);
    Open();
    Untick("Check4");
    std::size_t yieldsWhileOpen = 0;
    std::string pageWhileOpen;
    bool check1WhileOpen = false;
    ModalWatcher watcher([&](QWidget* about) {
        const std::size_t yieldsAtOpen = window->Yields;
        // Clicks on the main window are refused while the box is up.
        auto* check = Find<QCheckBox>("Check1");
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                          check->mapTo(window.get(), check->rect().center()));
        for (int i = 0; i < 20; ++i)
            QApplication::processEvents();
        yieldsWhileOpen = window->Yields - yieldsAtOpen;
        pageWhileOpen = tree.ReadFile("site/page.htm");
        check1WhileOpen = window->RemoveSpacesTicked();
        about->close();
    });
    AtStep(3,
           [this] { QTimer::singleShot(0, Find<QPushButton>("Command3"), &QPushButton::click); });
    Press("Command1");

    EXPECT_EQ(watcher.Seen(), 1);
    EXPECT_EQ(yieldsWhileOpen, 0u);
    EXPECT_EQ(pageWhileOpen, Page);
    EXPECT_TRUE(check1WhileOpen);
    EXPECT_EQ(tree.ReadFile("site/page.htm"), Compacted(Page));
    EXPECT_EQ(Status(), "已经完成任务.");
}

TEST_F(MainWindowDuringARun, ClosingStopsTheRunAtItsYieldAndStoresTheFolder) {
    tree.WriteFile("site/a.htm", Page);
    tree.WriteFile("site/b.htm", Page);
    tree.WriteFile("site/c.htm", Page);
    Open();
    std::size_t yieldsAtClose = 0;
    window->OnYield = [&](std::size_t yield) {
        if (yieldsAtClose == 0 && Status().ends_with("b.htm") &&
            !window->GaugeCaption(Gauge::FileBar).empty()) {
            yieldsAtClose = yield;
            QTimer::singleShot(0, window.get(), &QWidget::close);
        }
    };
    Press("Command1");

    ASSERT_NE(yieldsAtClose, 0u);
    EXPECT_EQ(window->Yields, yieldsAtClose);
    EXPECT_EQ(Remembered(), Site());
    EXPECT_EQ(exitCodes, std::vector<int>{0});
    EXPECT_EQ(tree.ReadFile("site/a.htm"), Compacted(Page));
    EXPECT_EQ(tree.ReadFile("site/b.htm"), Page);
    EXPECT_EQ(tree.ReadFile("site/c.htm"), Page);
    EXPECT_EQ(tree.Entries("site"), (Entries{"a.htm", "b.htm", "c.htm"}));
    EXPECT_NE(Status(), "已经完成任务.");
    EXPECT_FALSE(window->Run().Running());
}

TEST_F(MainWindowDuringARun, RestorePressedDuringARunIsRefused) {
    tree.WriteFile("site/page.htm", Page);
    BoxAnswerer answerer(QMessageBox::Ok);
    Open();
    AtStep(2,
           [this] { QTimer::singleShot(0, Find<QPushButton>("Command2"), &QPushButton::click); });
    Press("Command1");

    EXPECT_TRUE(answerer.boxes.empty());
    EXPECT_EQ(tree.ReadFile("site/page.htm"), Compacted(Page));
    EXPECT_EQ(tree.ReadFile("site.bak/page.htm"), Page);
}

class MainWindowFolders : public MainWindowButtons {};

TEST_F(MainWindowFolders, PickingADriveShowsItAndAMissingOneIsReported) {
    tree.MakeFolder("usb/photos");
    const std::filesystem::path usb = tree.Path("usb");
    const std::filesystem::path gone = tree.Path("gone");
    BoxAnswerer answerer;
    Open({.drives = [&] {
        return std::vector<DriveEntry>{{"/", {}, false}, {usb, "USB", true}, {gone, {}, true}};
    }});
    auto* drives = Find<DriveList>("Drive1");
    auto* folders = Find<DirectoryList>("Dir1");
    ASSERT_EQ(drives->Drive(), "/");

    QTest::keyClick(drives, Qt::Key_Down);
    EXPECT_EQ(drives->Drive(), usb);
    EXPECT_EQ(folders->Path(), usb);
    EXPECT_TRUE(answerer.boxes.empty());

    QTest::keyClick(drives, Qt::Key_Down);
    ASSERT_EQ(answerer.boxes.size(), 1u);
    EXPECT_EQ(answerer.boxes[0].text.toStdString(), gone.native() + ": No such file or directory");
    EXPECT_EQ(answerer.boxes[0].title, "Velnor");
    EXPECT_EQ(answerer.boxes[0].buttons, QMessageBox::Ok);
    EXPECT_EQ(answerer.boxes[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(folders->Path(), usb);
    EXPECT_EQ(drives->Drive(), gone);
}

TEST_F(MainWindowFolders, OpeningAFolderThatVanishedIsReportedAndTheListStays) {
    tree.MakeFolder("site/old");
    BoxAnswerer answerer;
    Open();
    auto* folders = Find<DirectoryList>("Dir1");
    std::filesystem::remove(tree.Path("site/old"));
    const QList<QTreeWidgetItem*> items =
        folders->findItems("old", Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(items.size(), 1);
    folders->setCurrentItem(items[0]);
    QTest::keyClick(folders, Qt::Key_Return);

    ASSERT_EQ(answerer.boxes.size(), 1u);
    EXPECT_EQ(answerer.boxes[0].text.toStdString(),
              tree.Path("site/old").native() + ": No such file or directory");
    EXPECT_EQ(answerer.boxes[0].title, "Velnor");
    EXPECT_EQ(folders->Path(), tree.Path("site"));
}

} // namespace
} // namespace velnor::test
