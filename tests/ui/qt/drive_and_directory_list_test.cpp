#include "tests/ui/qt/ui_fixture.h"
#include "ui/qt/directory_list.h"
#include "ui/qt/drive_list.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace velnor::test {
namespace {

TEST(DriveListTest, ListsTheRootFirstOnceAndNoPseudoFileSystem) {
    const std::vector<DriveEntry> drives = MountedDrives();
    ASSERT_FALSE(drives.empty());
    EXPECT_EQ(drives[0].Root, "/");
    EXPECT_EQ(std::count_if(drives.begin(), drives.end(), [](auto& d) { return d.Root == "/"; }),
              1);
    for (const DriveEntry& drive : drives) {
        for (const char* pseudo : {"/proc", "/sys", "/dev/pts"})
            EXPECT_NE(drive.Root, pseudo);
        EXPECT_TRUE(std::filesystem::is_directory(drive.Root)) << drive.Root;
    }
    // A folder lies on the volume mounted above it.
    EXPECT_EQ(DriveOf("/proc/self"), "/proc");
}

TEST(DriveListTest, ShowsTheCurrentDriveAddsAMissingOneAndSignalsOnlyAnotherPick) {
    DriveList list([] {
        return std::vector<DriveEntry>{{"/", {}, false}, {"/media/usb", "PHOTOS", true}};
    });
    EXPECT_EQ(list.Drive(), DriveOf(std::filesystem::current_path()));
    const int usb = list.findText("/media/usb [PHOTOS]");
    ASSERT_GE(usb, 0);
    EXPECT_FALSE(list.itemIcon(usb).isNull());
    QSignalSpy changed(&list, &DriveList::DriveChanged);
    list.SetDrive("/mnt/data"); // set by the program, not picked
    EXPECT_EQ(list.Drive(), "/mnt/data");
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_NE(list.Drive(), "/mnt/data");
    emit list.activated(list.currentIndex()); // the same drive picked again
    EXPECT_EQ(changed.size(), 1);
}

// Double-click or Enter opens a line: the form is told which.
TEST(DirectoryListTest, DoubleClickOrEnterOpensALineAndASingleClickOnlySelects) {
    DirectoryList list;
    list.ShowFolders(
        {"/srv",
         {{"/", "/", 0}, {"/srv", "srv", 1}, {"/srv/css", "css", 2}, {"/srv/news", "news", 2}},
         1});
    EXPECT_EQ(list.currentItem()->text(0), "srv");
    list.resize(200, 400);
    list.show();
    QSignalSpy opened(&list, &DirectoryList::Opened);
    const auto item = [&list](const char* name) {
        return list.findItems(name, Qt::MatchRecursive).value(0);
    };
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualItemRect(item("news")).center());
    EXPECT_EQ(list.currentItem(), item("news"));
    EXPECT_EQ(opened.size(), 0);
    QTest::keyClick(&list, Qt::Key_Return);
    QTest::mouseDClick(list.windowHandle(), Qt::LeftButton, {},
                       list.viewport()->mapTo(&list, list.visualItemRect(item("/")).center()));
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[0][0].toInt(), 3);
    EXPECT_EQ(opened[1][0].toInt(), 0);
}

} // namespace
} // namespace velnor::test
