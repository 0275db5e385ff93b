#include "run/file_system.h"
#include "tests/ui/ui_fixture.h"
#include "ui/directory_list.h"

#include <QImage>
#include <QStyle>
#include <QTest>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

namespace velnor::test {
namespace {

class DirectoryListTest : public ::testing::Test {
protected:
    DirectoryListTest() {
        for (const char* folder :
             {"site/news", "site/Images", "site/css/print", "site/.well-known"})
            tree.MakeFolder(folder);
        tree.WriteFile("site/index.htm", "page");
        list.SetPath(tree.Path("site"));
    }

    // Each row from the given depth down: its depth below that in blanks, and its name.
    std::vector<std::string> Rows(std::size_t from = 0) {
        std::vector<std::string> rows;
        for (QTreeWidgetItemIterator it(&list); *it; ++it) {
            std::size_t depth = 0;
            for (const QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent())
                ++depth;
            if (depth >= from)
                rows.push_back(std::string(depth - from, ' ') + (*it)->text(0).toStdString());
        }
        return rows;
    }
    QTreeWidgetItem* Item(const char* name) {
        return list.findItems(name, Qt::MatchExactly | Qt::MatchRecursive).value(0);
    }

    TempTree tree;
    DirectoryList list;
};

TEST_F(DirectoryListTest, ShowsOpenParentsAboveAndClosedSortedSubfoldersBelow) {
    const auto depth =
        static_cast<std::size_t>(std::distance(tree.Root().begin(), tree.Root().end()) - 1);
    const std::string root = tree.Root().filename().native();
    EXPECT_EQ(Rows(depth),
              (std::vector<std::string>{root, " site", "  css", "  Images", "  news"}));
    EXPECT_EQ(Rows().front(), "/");
    const QTreeWidgetItem* site = list.currentItem();
    ASSERT_EQ(site, Item("site"));
    const auto image = [](const QIcon& icon) {
        return icon.pixmap(16).toImage();
    };
    const QImage open = image(list.style()->standardIcon(QStyle::SP_DirOpenIcon));
    const QImage closed = image(list.style()->standardIcon(QStyle::SP_DirClosedIcon));
    ASSERT_NE(open, closed);
    EXPECT_EQ(image(site->icon(0)), open);
    EXPECT_EQ(image(site->parent()->icon(0)), open);
    for (int i = 0; i < site->childCount(); ++i)
        EXPECT_EQ(image(site->child(i)->icon(0)), closed);
}

TEST_F(DirectoryListTest, PathsAreMadeAbsoluteWithoutATrailingSlash) {
    const std::pair<std::filesystem::path, std::filesystem::path> cases[] = {
        {tree.Path("site").native() + "/", tree.Path("site")},
        {tree.Path("site/css/../news"), tree.Path("site/news")},
        {tree.Path(".") / "..", tree.Root().parent_path()},
        {".", std::filesystem::current_path()},
        {"/", "/"},
        {tree.Path("site/.well-known"), tree.Path("site/.well-known")}, // hidden, yet it opens
    };
    for (const auto& [given, shown] : cases) {
        list.SetPath(given);
        EXPECT_EQ(list.Path(), shown) << given;
        EXPECT_EQ(list.currentItem()->text(0).toStdString(),
                  shown == "/" ? "/" : shown.filename().native());
    }
}

TEST_F(DirectoryListTest, AFolderThatCannotBeOpenedThrowsAndLeavesTheList) {
    const std::vector<std::string> before = Rows();
    const std::pair<std::filesystem::path, std::string> cases[] = {
        {tree.Path("missing"), "No such file or directory"},
        {tree.Path("site/index.htm"), "Not a directory"},
        {"", "No such file or directory"}};
    for (const auto& [path, words] : cases) {
        try {
            list.SetPath(path);
            ADD_FAILURE() << path << " opened";
        } catch (const FileSystemError& error) {
            EXPECT_EQ(error.what(), path.native() + ": " + words);
        }
        EXPECT_EQ(list.Path(), tree.Path("site"));
        EXPECT_EQ(Rows(), before);
    }
}

TEST_F(DirectoryListTest, EnterOrDoubleClickOpensAFolderAndASingleClickOnlySelects) {
    list.resize(200, 400);
    list.show();
    QTreeWidgetItem* news = Item("news");
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(news).center());
    EXPECT_EQ(list.currentItem(), news);
    EXPECT_EQ(list.Path(), tree.Path("site"));

    list.setCurrentItem(Item("css"));
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_EQ(list.Path(), tree.Path("site/css"));

    QTreeWidgetItem* up = Item(tree.Root().filename().c_str());
    const QPoint at = list.viewport()->mapTo(&list, list.visualItemRect(up).center());
    QTest::mouseDClick(list.windowHandle(), Qt::LeftButton, {}, at);
    EXPECT_EQ(list.Path(), tree.Root());
}

} // namespace
} // namespace velnor::test
