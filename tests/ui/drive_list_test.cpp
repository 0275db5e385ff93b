#include "tests/ui/ui_fixture.h"
#include "ui/drive_list.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace velnor::test {
namespace {

TEST(MountedDrivesTest, TheRootComesFirstOnceAndPseudoFileSystemsAreLeftOut) {
    const std::vector<DriveEntry> drives = MountedDrives();
    ASSERT_FALSE(drives.empty());
    EXPECT_EQ(drives[0].Root, "/");
    for (const DriveEntry& drive : drives) {
        for (const char* pseudo : {"/proc", "/sys", "/dev/pts"})
            EXPECT_NE(drive.Root, pseudo);
        EXPECT_TRUE(std::filesystem::is_directory(drive.Root)) << drive.Root;
    }
    EXPECT_EQ(std::count_if(drives.begin(), drives.end(), [](auto& d) { return d.Root == "/"; }),
              1);
    // A folder lies on the volume mounted above it.
    EXPECT_EQ(DriveOf("/proc/self"), "/proc");
    TempTree tree;
    EXPECT_TRUE(tree.Root().native().starts_with(DriveOf(tree.Root()).native()));
}

TEST(DriveListTest, ShowsTheCurrentDriveAddingItIfMissingAndSignalsOnlyAnotherPick) {
    const std::filesystem::path current = DriveOf(std::filesystem::current_path());
    DriveList list([] {
        return std::vector<DriveEntry>{{"/", {}, false}, {"/media/usb", "PHOTOS", true}};
    });
    EXPECT_EQ(list.Drive(), current);
    EXPECT_EQ(list.itemText(0), "/");
    const int usb = list.findText("/media/usb [PHOTOS]");
    ASSERT_GE(usb, 0);
    EXPECT_FALSE(list.itemIcon(usb).isNull());
    list.SetDrive("/mnt/data"); // set by the program, not picked
    EXPECT_EQ(list.Drive(), "/mnt/data");
    EXPECT_EQ(list.count(), current == "/" ? 3 : 4);

    QSignalSpy changed(&list, &DriveList::DriveChanged);
    QTest::keyClick(&list, Qt::Key_Up);
    const std::filesystem::path picked = list.Drive();
    EXPECT_NE(picked, "/mnt/data");
    EXPECT_EQ(changed.size(), 1);
    emit list.activated(list.currentIndex()); // the same drive picked again
    EXPECT_EQ(changed.size(), 1);
}

} // namespace
} // namespace velnor::test
