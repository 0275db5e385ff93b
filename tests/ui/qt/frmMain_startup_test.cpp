#include "tests/ui/qt/ui_fixture.h"
#include "ui/qt/directory_list.h"
#include "ui/qt/qsettings_store.h"

#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace velnor::test {
namespace {

using MainWindowStartUp = WindowFixture;

// Drive1 keeps the drive of the current folder whatever Dir1 shows, nothing is
// reported, and a close stores the folder shown, changed or not.
TEST_F(MainWindowStartUp, Dir1ShowsTheStoredFolderIfItOpensElseTheCurrentOneAndCloseStoresIt) {
    tree.MakeFolder("site/news");
    const std::filesystem::path current = std::filesystem::current_path();
    struct Case {
        const char* what;
        std::optional<std::filesystem::path> stored;
        std::filesystem::path shown;
    };
    const Case cases[] = {{"no stored entry", std::nullopt, current},
                          {"a folder that is gone", tree.Path("deleted"), current},
                          {"a folder elsewhere", tree.Path("site"), tree.Path("site")}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        settings = std::make_shared<MemorySettings>();
        exitCodes.clear();
        if (c.stored)
            Remembered() = c.stored->native();
        BoxAnswerer answerer;
        MakeWindow({.drives = [&] {
            return std::vector<DriveEntry>{{"/", {}, false}, {tree.Root(), "DATA", false}};
        }});
        window->show();
        QApplication::processEvents();
        EXPECT_EQ(Find<DirectoryList>("Dir1")->Path(), c.shown);
        EXPECT_EQ(Find<DriveList>("Drive1")->Drive(), DriveOf(current));
        EXPECT_EQ(settings->reads, 1);
        EXPECT_EQ(settings->writes, 0);
        EXPECT_TRUE(window->close());
        EXPECT_EQ(Remembered(), c.shown.native());
        EXPECT_EQ(settings->writes, 1);
        EXPECT_EQ(exitCodes, std::vector<int>{0});
        EXPECT_TRUE(answerer.boxes.empty());
    }
}

// The window's FOLDER argument: opened as the system resolves it, or refused
// with the box of a failed drive change; the close stores what is shown.
TEST_F(MainWindowStartUp, OpenFolderShowsTheResolvedFolderOrTheBoxOverTheRememberedOne) {
    tree.MakeFolder("real/sub");
    tree.MakeLink("lnk", tree.Path("real/sub"));
    tree.WriteFile("page.htm", "x");
    const std::filesystem::path root = std::filesystem::canonical(tree.Root());
    struct Case {
        const char* what;
        std::filesystem::path given;
        std::filesystem::path shown;
        std::string failure; // the box's text, when there is one
    };
    const Case cases[] = {
        {"a folder", tree.Path("real/sub"), root / "real/sub", ""},
        {"a link's parent, taken physically", tree.Path("lnk/.."), root / "real", ""},
        {"a folder that does not exist", tree.Path("gone"), root,
         tree.Path("gone").native() + ": No such file or directory"},
        {"a file", tree.Path("page.htm"), root, (root / "page.htm").native() + ": Not a directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        settings = std::make_shared<MemorySettings>();
        Remembered() = root.native();
        BoxAnswerer answerer;
        MakeWindow().show();
        window->OpenFolder(c.given);
        EXPECT_EQ(Find<DirectoryList>("Dir1")->Path(), c.shown);
        std::vector<BoxSeen> boxes;
        if (!c.failure.empty())
            boxes.push_back({QString::fromStdString(c.failure), "Velnor", QMessageBox::Ok});
        EXPECT_EQ(answerer.boxes, boxes);
        EXPECT_TRUE(window->close());
        EXPECT_EQ(Remembered(), c.shown.native());
    }
}

// A label's or a button's text, a frame's title, a text box's text.
QString Caption(const QWidget* control) {
    for (const char* property : {"text", "title", "plainText"})
        if (const QVariant caption = control->property(property); caption.isValid())
            return caption.toString();
    return {};
}

struct ControlCase {
    const char* name;
    const char* container; // nullptr for the window
    const char* caption;
    QRect place;        // at 96 dpi; auto-size labels give only their corner
    QColor colour = {}; // of the text, on light grey; the system's when not given
};

// Only the folder is remembered: the rest starts as designed every time, with
// the gauges empty and the ratio at "0%".
TEST_F(MainWindowStartUp, EveryControlStartsWithItsCaptionInItsPlaceAt96Dpi) {
    Remembered() = tree.Root().native();
    MakeWindow();
    ASSERT_EQ(window->logicalDpiX(), 96);
    EXPECT_EQ(window->size(), QSize(530, 396));
    EXPECT_EQ(window->windowTitle(), "Velnor");
    for (const int size : {16, 24, 32, 48, 64, 72})
        EXPECT_TRUE(window->windowIcon().availableSizes().contains(QSize(size, size))) << size;
    const char* const folders = "选择文件目录";
    const ControlCase controls[] = {
        {"Label3", nullptr,
         "    在选择目录中设置你要压缩的网页位置,根据你的需要设置压缩项目,"
         "建议一定要选中备份,最后点执行开始压缩代码",
         QRect(16, 16, 401, 30)}, // two lines
        {folders, nullptr, "选择文件目录", QRect(16, 56, 225, 265)},
        {"Drive1", folders, "", QRect(16, 24, 193, 20)},
        {"Dir1", folders, "", QRect(16, 48, 193, 202)},
        {"Frame1", nullptr, "设置", QRect(248, 56, 161, 265)},
        {"Label1", "Frame1", "应用文件", QRect(16, 24, 65, 17)},
        {"Text1", "Frame1", "htm|html|asp", QRect(16, 40, 129, 49)},
        {"Label2", "Frame1", "采取措施", QRect(16, 104, 57, 17)},
        {"Check1", "Frame1", "把多余空格删除", QRect(16, 120, 129, 17)},
        {"Check2", "Frame1", "把多余换行符删除", QRect(16, 136, 129, 17)},
        {"Check4", "Frame1", "备份到bak文件夹", QRect(16, 176, 129, 17)},
        {"Command1", nullptr, "开始压缩", QRect(424, 64, 81, 33)},
        {"Command2", nullptr, "还原备份", QRect(424, 104, 81, 33)},
        {"Command3", nullptr, "关于程序", QRect(424, 144, 81, 33)},
        {"lbstate", nullptr, "准备就绪", QRect(16, 328, 0, 0)},
        {"Label12", nullptr, "压缩", QRect(16, 352, 0, 0)},
        {"sp2", nullptr, "", QRect(48, 352, 0, 0), QColor(255, 0, 0)},
        {"Label10", nullptr, "压缩成", QRect(424, 352, 0, 0)},
        {"yasuoLv", nullptr, "0%", QRect(464, 352, 0, 0)},
        {"Label9", nullptr, "文件", QRect(16, 368, 0, 0)},
        {"sp1", nullptr, "", QRect(48, 368, 0, 0), QColor(0, 0, 255)},
    };
    for (const ControlCase& c : controls) {
        SCOPED_TRACE(c.name);
        const auto* control = Find<QWidget>(c.name);
        EXPECT_EQ(control->parentWidget(),
                  c.container ? Find<QWidget>(c.container) : static_cast<QWidget*>(window.get()));
        EXPECT_EQ(Caption(control), QString::fromUtf8(c.caption));
        EXPECT_EQ(control->property("checked").toBool(), c.name[0] == 'C' && c.name[1] == 'h');
        EXPECT_EQ(control->pos(), c.place.topLeft());
        EXPECT_EQ(control->size(), c.place.isEmpty() ? control->sizeHint() : c.place.size());
        const QPalette system = QApplication::palette(control);
        EXPECT_EQ(control->palette().color(QPalette::WindowText),
                  c.colour.isValid() ? c.colour : system.color(QPalette::WindowText));
        EXPECT_EQ(control->palette().color(QPalette::Window),
                  c.colour.isValid() ? QColor(224, 224, 224) : system.color(QPalette::Window));
        EXPECT_EQ(control->autoFillBackground(), c.colour.isValid());
    }
    // A full-width character is 12 pixels in the window's font.
    EXPECT_EQ(Find<QLabel>("Label10")->width(), 36);
    // The gauges' counts start at zero too: the next cell lit is the first.
    window->Run().Gauges().UpdateFileBar(100);
    EXPECT_EQ(Find<QLabel>("sp1")->text(), "|");
}

TEST_F(MainWindowStartUp, CaptionsSizeTheirLabelsAndFullGaugesEndBeforeTheRatio) {
    MakeWindow();
    window->SetStatus("正在工作: /a/much/longer/path/than/before.htm");
    EXPECT_EQ(Find<QLabel>("lbstate")->size(), Find<QLabel>("lbstate")->sizeHint());
    EXPECT_GT(Find<QLabel>("lbstate")->width(), 200);
    for (const auto& [gauge, name] : {std::pair{Gauge::PackBar, "sp2"}, {Gauge::FileBar, "sp1"}}) {
        window->SetGaugeCells(gauge, 60);
        EXPECT_EQ(Find<QLabel>(name)->width(), 360) << name; // 5400 twips
        EXPECT_LT(Find<QLabel>(name)->geometry().right(), Find<QLabel>("Label10")->x()) << name;
    }
}

TEST_F(MainWindowStartUp, TabWalksTheDesignedFocusOrderFromDrive1AndBack) {
    MakeWindow().show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    for (const char* name : {"Drive1", "Dir1", "Text1", "Check1", "Check2", "Command1", "Check4",
                             "Command2", "Command3", "Drive1"}) {
        ASSERT_EQ(QApplication::focusWidget(), Find<QWidget>(name)) << name;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(window->ExtensionText(), "htm|html|asp"); // Tab is never typed
}

TEST_F(MainWindowStartUp, Text1TakesNoLineBreakTypedOrPasted) {
    MakeWindow();
    auto* text = Find<QPlainTextEdit>("Text1");
    text->moveCursor(QTextCursor::End);
    QTest::keyClick(text, Qt::Key_Return);
    QTest::keyClick(text, Qt::Key_Enter);
    QTest::keyClicks(text, "|php");
    QApplication::clipboard()->setText("|shtml\r\n|htx\n|asa\r");
    text->paste();
    EXPECT_EQ(window->ExtensionText(), "htm|html|asp|php|shtml|htx|asa");
}

// The real store, in Qt's test locations, under an application name of its own.
TEST(QSettingsStoreTest, GivesTheFallbackReadsBackAnyBytesWritesAndThrowsIfItCannot) {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    ASSERT_TRUE(config.contains(".qttest")) << config.toStdString();
    const std::filesystem::path folder = QDir(config).filePath("TrimoraStoreTest").toStdString();
    std::filesystem::remove_all(folder);
    {
        QSettingsStore store;
        EXPECT_EQ(store.Read("TrimoraStoreTest", "Root", "Path", "/home/user"), "/home/user");
        store.Write("TrimoraStoreTest", "Root", "Path", "/srv/www");
        store.Write("TrimoraStoreTest", "Root", "Path", "/home/用户/网站 新");
        EXPECT_EQ(store.Read("TrimoraStoreTest", "Root", "Path", ""), "/home/用户/网站 新");
        EXPECT_EQ(store.Read("TrimoraStoreTest", "Root", "Other", "x"), "x");
        // A folder named in GBK comes back byte for byte, not as U+FFFD.
        const std::string gbk = "/srv/\xCD\xF8\xD5\xBE";
        store.Write("TrimoraStoreTest", "Root", "Gbk", gbk);
        EXPECT_EQ(QSettingsStore().Read("TrimoraStoreTest", "Root", "Gbk", ""), gbk);
        const QSettings file(QString::fromStdString(folder / "TrimoraStoreTest.conf"),
                             QSettings::IniFormat);
        EXPECT_EQ(file.value("Root/Path").toString(), "/home/用户/网站 新");
        // A folder where the file should be fails for root too.
        std::filesystem::remove(folder / "TrimoraStoreTest.conf");
        std::filesystem::create_directories(folder / "TrimoraStoreTest.conf");
        EXPECT_THROW(store.Write("TrimoraStoreTest", "Root", "Path", "/"), std::runtime_error);
    }
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace velnor::test
