#include "tests/support/temp_tree.h"
#include "tests/ui/ui_fixture.h"
#include "ui/directory_list.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <filesystem>

namespace velnor::test {
namespace {

class MainWindowStartUp : public WindowFixture {
protected:
    std::filesystem::path Dir1Path() const { return Find<DirectoryList>("Dir1")->Path(); }
    std::filesystem::path Drive1Drive() const { return Find<DriveList>("Drive1")->Drive(); }

    TempTree tree;
};

TEST_F(MainWindowStartUp, WithoutStoredFolderDir1ShowsTheCurrentFolder) {
    MakeWindow();
    EXPECT_EQ(Dir1Path(), std::filesystem::current_path());
    EXPECT_EQ(Drive1Drive(), DriveOf(std::filesystem::current_path()));
    EXPECT_EQ(settings->reads, 1);
    EXPECT_EQ(settings->writes, 0);
}

TEST_F(MainWindowStartUp, StoredFolderThatIsGoneLeavesTheCurrentFolderWithoutAMessage) {
    Remember(tree.Path("deleted").native());
    BoxAnswerer answerer;
    MakeWindow();
    window->show();
    QApplication::processEvents();
    EXPECT_EQ(Dir1Path(), std::filesystem::current_path());
    EXPECT_TRUE(answerer.boxes.empty());
}

TEST_F(MainWindowStartUp, StoredFolderElsewhereIsShownWhileDrive1KeepsTheCurrentDrive) {
    tree.MakeFolder("site/news");
    Remember(tree.Path("site").native());
    const std::filesystem::path otherDrive = tree.Root();
    MakeWindow({.drives = [&] {
        return std::vector<DriveEntry>{{"/", {}, false}, {otherDrive, "DATA", false}};
    }});
    EXPECT_EQ(Dir1Path(), tree.Path("site"));
    EXPECT_EQ(Drive1Drive(), DriveOf(std::filesystem::current_path()));
}

TEST_F(MainWindowStartUp, GaugesStartEmptyAndTheRatioAtZero) {
    MakeWindow();
    EXPECT_EQ(window->GaugeCaption(Gauge::FileBar), "");
    EXPECT_EQ(window->GaugeCaption(Gauge::PackBar), "");
    EXPECT_EQ(window->Run().Gauges().FileBarCells, 0);
    EXPECT_EQ(window->Run().Gauges().PackBarCells, 0);
    EXPECT_EQ(Find<QLabel>("yasuoLv")->text(), "0%");
    EXPECT_EQ(Find<QLabel>("lbstate")->text(), "准备就绪");
    // The first cell after start-up is the first "|" of the caption.
    window->Run().Gauges().UpdateFileBar(100);
    EXPECT_EQ(window->GaugeCaption(Gauge::FileBar), "|");
}

TEST_F(MainWindowStartUp, OnlyTheFolderIsRemembered) {
    Remember(tree.Root().native());
    MakeWindow();
    EXPECT_EQ(window->ExtensionText(), "htm|html|asp");
    EXPECT_TRUE(window->RemoveSpacesTicked());
    EXPECT_TRUE(window->RemoveBreaksTicked());
    EXPECT_TRUE(window->BackupTicked());
    EXPECT_EQ(window->FolderPath(), tree.Root());
}

class MainWindowClose : public MainWindowStartUp {};

TEST_F(MainWindowClose, ClosingStoresTheFolderShownAndEndsTheProgram) {
    tree.MakeFolder("site");
    MakeWindow();
    Find<DirectoryList>("Dir1")->SetPath(tree.Path("site"));
    window->show();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(Remembered(), tree.Path("site").native());
    EXPECT_EQ(exitCodes, std::vector<int>{0});
}

TEST_F(MainWindowClose, ClosingWithTheFolderUnchangedStillStoresIt) {
    MakeWindow();
    window->close();
    EXPECT_EQ(Remembered(), std::filesystem::current_path().native());
    EXPECT_EQ(settings->writes, 1);
}

TEST_F(MainWindowClose, AFailedStoreIsReportedAndTheProgramStillEnds) {
    settings->failWrites = "/home/user/.config/Trimora/Trimora.conf: disk full";
    MakeWindow();
    BoxAnswerer answerer;
    window->close();
    ASSERT_EQ(answerer.boxes.size(), 1u);
    EXPECT_EQ(answerer.boxes[0].text, "/home/user/.config/Trimora/Trimora.conf: disk full");
    EXPECT_EQ(answerer.boxes[0].title, "Velnor");
    EXPECT_EQ(answerer.boxes[0].icon, QMessageBox::Critical);
    EXPECT_EQ(answerer.boxes[0].buttons, QMessageBox::Ok);
    EXPECT_EQ(exitCodes, std::vector<int>{1});
}

} // namespace
} // namespace velnor::test
