#include "tests/support/temp_tree.h"
#include "tests/ui/ui_fixture.h"
#include "ui/directory_list.h"

#include <QSignalSpy>
#include <QImage>
#include <QStyle>
#include <QTest>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

namespace velnor::test {
namespace {

// What the list shows: each row's depth and name, top to bottom.
std::vector<std::string> Rows(const DirectoryList& list) {
    std::vector<std::string> rows;
    for (QTreeWidgetItemIterator it(const_cast<DirectoryList*>(&list)); *it; ++it) {
        int depth = 0;
        for (const QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent())
            ++depth;
        rows.push_back(std::string(depth, ' ') + (*it)->text(0).toStdString());
    }
    return rows;
}

// The rows from the temporary tree's root down, with the root's depth removed.
std::vector<std::string> RowsBelow(const DirectoryList& list, const std::filesystem::path& root) {
    const std::vector<std::string> all = Rows(list);
    const auto depth = static_cast<std::size_t>(std::distance(root.begin(), root.end()) - 1);
    std::vector<std::string> rows;
    for (std::size_t i = depth; i < all.size(); ++i)
        rows.push_back(all[i].substr(depth));
    return rows;
}

class DirectoryListTest : public AppTest {
protected:
    DirectoryListTest() {
        for (const char* folder : {"site/news", "site/Images", "site/css", "site/.well-known",
                                   "site/css/print", "other"})
            tree.MakeFolder(folder);
        tree.WriteFile("site/index.htm", "page");
    }

    std::string Root() const { return tree.Root().filename().native(); }

    TempTree tree;
    DirectoryList list;
};

TEST_F(DirectoryListTest, StartsOnTheCurrentFolder) {
    EXPECT_EQ(list.Path(), std::filesystem::current_path());
}

TEST_F(DirectoryListTest, ShowsParentsAboveAndSortedSubfoldersBelow) {
    list.SetPath(tree.Path("site"));
    EXPECT_EQ(list.Path(), tree.Path("site"));
    const std::vector<std::string> expected{Root(), " site", "  css", "  Images", "  news"};
    EXPECT_EQ(RowsBelow(list, tree.Root()), expected);
    EXPECT_EQ(Rows(list).front(), "/");
    EXPECT_EQ(list.currentItem()->text(0), "site");
}

TEST_F(DirectoryListTest, OpenFoldersAndClosedSubfoldersHaveTheirOwnIcons) {
    list.SetPath(tree.Path("site"));
    const auto image = [](const QIcon& icon) {
        return icon.pixmap(16).toImage();
    };
    const QImage open = image(list.style()->standardIcon(QStyle::SP_DirOpenIcon));
    const QImage closed = image(list.style()->standardIcon(QStyle::SP_DirClosedIcon));
    ASSERT_NE(open, closed);
    const QTreeWidgetItem* site = list.currentItem();
    EXPECT_EQ(image(site->icon(0)), open);
    EXPECT_EQ(image(site->parent()->icon(0)), open);
    ASSERT_EQ(site->childCount(), 3);
    for (int i = 0; i < site->childCount(); ++i)
        EXPECT_EQ(image(site->child(i)->icon(0)), closed);
}

TEST_F(DirectoryListTest, TheRootShowsItsFoldersOneLevelDown) {
    list.SetPath("/");
    EXPECT_EQ(list.Path(), "/");
    const std::vector<std::string> rows = Rows(list);
    ASSERT_GT(rows.size(), 1u);
    EXPECT_EQ(rows[0], "/");
    EXPECT_NE(std::find(rows.begin(), rows.end(), " tmp"), rows.end());
}

TEST_F(DirectoryListTest, PathsAreMadeAbsoluteAndLoseTheirTrailingSlash) {
    list.SetPath(tree.Path("site").native() + "/");
    EXPECT_EQ(list.Path(), tree.Path("site"));
    list.SetPath(tree.Path("site/css/../news"));
    EXPECT_EQ(list.Path(), tree.Path("site/news"));
    list.SetPath(tree.Path(".") / "..");
    EXPECT_EQ(list.Path(), tree.Root().parent_path());
}

TEST_F(DirectoryListTest, AHiddenFolderCanStillBeOpened) {
    list.SetPath(tree.Path("site/.well-known"));
    EXPECT_EQ(list.currentItem()->text(0), ".well-known");
}

TEST_F(DirectoryListTest, AFolderThatCannotBeOpenedThrowsAndLeavesTheList) {
    list.SetPath(tree.Path("site"));
    const std::vector<std::string> before = Rows(list);
    struct Case {
        std::filesystem::path path;
        std::string words;
    };
    const Case cases[] = {{tree.Path("missing"), "No such file or directory"},
                          {tree.Path("site/index.htm"), "Not a directory"},
                          {"", "No such file or directory"}};
    for (const auto& failing : cases) {
        try {
            list.SetPath(failing.path);
            ADD_FAILURE() << failing.path << " opened";
        } catch (const FileSystemError& error) {
            EXPECT_EQ(error.what(), failing.path.native() + ": " + failing.words);
        }
        EXPECT_EQ(list.Path(), tree.Path("site"));
        EXPECT_EQ(Rows(list), before);
    }
}

TEST_F(DirectoryListTest, EnterOrDoubleClickOpensAFolder) {
    list.SetPath(tree.Path("site"));
    list.resize(200, 400);
    list.show();
    list.setCurrentItem(list.findItems("css", Qt::MatchExactly | Qt::MatchRecursive).at(0));
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_EQ(list.Path(), tree.Path("site/css"));

    QTreeWidgetItem* up =
        list.findItems(QString::fromStdString(Root()), Qt::MatchExactly | Qt::MatchRecursive).at(0);
    const QPoint at = list.viewport()->mapTo(&list, list.visualItemRect(up).center());
    QTest::mouseDClick(list.windowHandle(), Qt::LeftButton, {}, at);
    EXPECT_EQ(list.Path(), tree.Root());
}

TEST_F(DirectoryListTest, ASingleClickOnlySelects) {
    list.SetPath(tree.Path("site"));
    list.resize(200, 400);
    list.show();
    QTreeWidgetItem* news = list.findItems("news", Qt::MatchExactly | Qt::MatchRecursive).at(0);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(news).center());
    EXPECT_EQ(list.currentItem(), news);
    EXPECT_EQ(list.Path(), tree.Path("site"));
}

TEST_F(DirectoryListTest, OpeningAFolderThatIsGoneSignalsTheSystemsWords) {
    list.SetPath(tree.Path("site"));
    QSignalSpy failed(&list, &DirectoryList::OpenFailed);
    std::filesystem::remove(tree.Path("site/news"));
    list.setCurrentItem(list.findItems("news", Qt::MatchExactly | Qt::MatchRecursive).at(0));
    QTest::keyClick(&list, Qt::Key_Enter);
    ASSERT_EQ(failed.size(), 1);
    EXPECT_EQ(failed[0][0].toString().toStdString(),
              tree.Path("site/news").native() + ": No such file or directory");
    EXPECT_EQ(list.Path(), tree.Path("site"));
}

} // namespace
} // namespace velnor::test
