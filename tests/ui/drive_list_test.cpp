#include "tests/support/temp_tree.h"
#include "tests/ui/ui_fixture.h"
#include "ui/drive_list.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace velnor::test {
namespace {

class DriveListTest : public AppTest {
protected:
};

TEST_F(DriveListTest, TheRootComesFirstAndPseudoFileSystemsAreLeftOut) {
    const std::vector<DriveEntry> drives = MountedDrives();
    ASSERT_FALSE(drives.empty());
    EXPECT_EQ(drives[0].Root, "/");
    for (const DriveEntry& drive : drives) {
        EXPECT_NE(drive.Root, "/proc");
        EXPECT_NE(drive.Root, "/sys");
        EXPECT_NE(drive.Root, "/dev/pts");
        EXPECT_TRUE(std::filesystem::is_directory(drive.Root)) << drive.Root;
    }
    EXPECT_EQ(std::count_if(drives.begin(), drives.end(),
                            [](const DriveEntry& drive) { return drive.Root == "/"; }),
              1);
}

TEST_F(DriveListTest, AFolderLiesOnTheVolumeMountedAboveIt) {
    EXPECT_EQ(DriveOf("/"), "/");
    EXPECT_EQ(DriveOf("/proc/self"), "/proc");
    TempTree tree;
    const std::filesystem::path drive = DriveOf(tree.Root());
    EXPECT_EQ(drive, DriveOf(std::filesystem::temp_directory_path()));
    EXPECT_TRUE(tree.Root().native().starts_with(drive.native()));
}

TEST_F(DriveListTest, ShowsTheDriveOfTheCurrentFolderWithItsLabel) {
    const std::filesystem::path current = DriveOf(std::filesystem::current_path());
    DriveList list([&] {
        return std::vector<DriveEntry>{{"/", {}, false}, {"/media/usb", "PHOTOS", true}};
    });
    EXPECT_EQ(list.Drive(), current);
    EXPECT_EQ(list.itemText(0), "/");
    const int usb = list.findText("/media/usb [PHOTOS]");
    ASSERT_GE(usb, 0);
    EXPECT_FALSE(list.itemIcon(usb).isNull());
}

TEST_F(DriveListTest, AMissingCurrentDriveIsAddedToTheList) {
    DriveList list([] { return std::vector<DriveEntry>{}; });
    EXPECT_EQ(list.Drive(), DriveOf(std::filesystem::current_path()));
    list.SetDrive("/mnt/data");
    EXPECT_EQ(list.Drive(), "/mnt/data");
    EXPECT_EQ(list.count(), 2);
}

TEST_F(DriveListTest, OnlyPickingAnotherDriveSignalsAChange) {
    DriveList list([] {
        return std::vector<DriveEntry>{{"/", {}, false}, {"/srv", {}, false}, {"/tmp", {}, false}};
    });
    list.SetDrive("/");
    QSignalSpy changed(&list, &DriveList::DriveChanged);
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(list.Drive(), "/srv");
    EXPECT_EQ(changed.size(), 1);
    emit list.activated(list.currentIndex()); // the same drive picked again
    EXPECT_EQ(changed.size(), 1);
    list.SetDrive("/tmp"); // set by the program, not picked
    EXPECT_EQ(changed.size(), 1);
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(list.Drive(), "/srv");
    EXPECT_EQ(changed.size(), 2);
}

} // namespace
} // namespace velnor::test
