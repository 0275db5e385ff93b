#include "core/files/file_system.h"
#include "tests/ui/qt/ui_fixture.h"
#include "ui/qt/directory_list.h"
#include "ui/qt/drive_list.h"

#include <QImage>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
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

class DirectoryListTest : public ::testing::Test {
protected:
    DirectoryListTest() {
        for (const char* folder :
             {"site/news", "site/Images", "site/css/print", "site/.well-known"})
            tree.MakeFolder(folder);
        tree.WriteFile("site/index.htm", "page");
        list.SetPath(tree.Path("site"));
    }

    // Each row from the given depth down: its depth below that in blanks, its
    // icon ("+" an open folder, "-" a closed one) and its name.
    std::vector<std::string> Rows(std::size_t from = 0) {
        const auto image = [this](QStyle::StandardPixmap icon) {
            return list.style()->standardIcon(icon).pixmap(16).toImage();
        };
        std::vector<std::string> rows;
        for (QTreeWidgetItemIterator it(&list); *it; ++it) {
            std::size_t depth = 0;
            for (const QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent())
                ++depth;
            const QImage icon = (*it)->icon(0).pixmap(16).toImage();
            const char* kind = icon == image(QStyle::SP_DirOpenIcon)     ? "+"
                               : icon == image(QStyle::SP_DirClosedIcon) ? "-"
                                                                         : "?";
            if (depth >= from)
                rows.push_back(std::string(depth - from, ' ') + kind +
                               (*it)->text(0).toStdString());
        }
        return rows;
    }
    QTreeWidgetItem* Item(const std::string& name) {
        return list.findItems(QString::fromStdString(name), Qt::MatchRecursive).value(0);
    }

    TempTree tree;
    DirectoryList list;
};

TEST_F(DirectoryListTest, ShowsOpenParentsAboveAndClosedSortedSubfoldersBelow) {
    const std::string root = tree.Root().filename().native();
    const auto depth =
        static_cast<std::size_t>(std::distance(tree.Root().begin(), tree.Root().end()));
    EXPECT_EQ(Rows(depth - 1),
              (std::vector<std::string>{"+" + root, " +site", "  -css", "  -Images", "  -news"}));
    EXPECT_EQ(Rows().front(), "+/");
    EXPECT_EQ(list.currentItem(), Item("site"));
}

// A folder that cannot be opened throws in the system's words and leaves the list.
TEST_F(DirectoryListTest, PathsOpenPhysicalWithoutATrailingSlashOrNotAtAll) {
    const std::filesystem::path site = tree.Path("site");
    const std::vector<std::string> before = Rows();
    // given, shown (empty when it cannot be opened), error
    const std::tuple<std::filesystem::path, std::filesystem::path, std::string> cases[] = {
        {site.native() + "/", site, ""},
        {tree.Path(".") / "..", tree.Root().parent_path(), ""},
        {tree.Path("site/.well-known"), tree.Path("site/.well-known"), ""}, // hidden, yet it opens
        {"", {}, "No such file or directory"},
    };
    for (const auto& [given, shown, words] : cases) {
        list.SetPath(site);
        try {
            list.SetPath(given);
            EXPECT_EQ(list.Path(), shown) << given;
        } catch (const FileSystemError& error) {
            EXPECT_EQ(error.what(), given.native() + ": " + words);
            EXPECT_EQ(list.Path(), site);
            EXPECT_EQ(Rows(), before);
        }
    }
}

TEST_F(DirectoryListTest, DoubleClickOpensAFolderAndASingleClickOnlySelects) {
    list.resize(200, 400);
    list.show();
    QTreeWidgetItem* news = Item("news");
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(news).center());
    EXPECT_EQ(list.currentItem(), news);
    EXPECT_EQ(list.Path(), tree.Path("site"));

    const QRect up = list.visualItemRect(Item(tree.Root().filename().native()));
    QTest::mouseDClick(list.windowHandle(), Qt::LeftButton, {},
                       list.viewport()->mapTo(&list, up.center()));
    EXPECT_EQ(list.Path(), tree.Root());
}

} // namespace
} // namespace velnor::test
