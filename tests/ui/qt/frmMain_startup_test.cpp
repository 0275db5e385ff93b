#include "tests/ui/qt/ui_fixture.h"
#include "ui/design/frmMain_design.h"
#include "ui/qt/directory_list.h"
#include "ui/qt/qsettings_store.h"

#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace velnor::test {
namespace {

using MainWindowStartUp = WindowFixture;

// A FOLDER argument is opened as the system resolves it, or refused with a box;
// a stored one that cannot be opened gives way to the current one, silently.
TEST_F(MainWindowStartUp, Dir1ShowsTheStoredOrGivenFolderAndCloseStoresIt) {
    tree.MakeFolder("real/sub");
    tree.MakeLink("lnk", tree.Path("real/sub"));
    const std::filesystem::path current = std::filesystem::current_path();
    const std::filesystem::path root = std::filesystem::canonical(tree.Root());
    struct Case {
        const char* what;
        std::filesystem::path stored;
        std::optional<std::filesystem::path> given;
        std::filesystem::path shown;
        std::string failure; // the box's text, when there is one
    };
    const Case cases[] = {
        {"a stored folder that is gone", tree.Path("deleted"), std::nullopt, current, ""},
        {"a stored folder elsewhere", root / "real", std::nullopt, root / "real", ""},
        {"a link's parent given, taken physically", root, tree.Path("lnk/.."), root / "real", ""},
        {"a folder given that does not exist", root, tree.Path("gone"), root,
         tree.Path("gone").native() + ": No such file or directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        settings = std::make_shared<MemorySettings>();
        exitCodes.clear();
        Remembered() = c.stored.native();
        BoxAnswerer answerer;
        MakeWindow({.drives = [&] {
            return std::vector<DriveEntry>{{"/", {}, false}, {tree.Root(), "DATA", false}};
        }});
        window->show();
        if (c.given)
            window->OpenFolder(*c.given);
        QApplication::processEvents();
        EXPECT_EQ(Find<DirectoryList>("Dir1")->Path(), c.shown);
        EXPECT_EQ(Find<DriveList>("Drive1")->Drive(), DriveOf(current));
        std::vector<BoxSeen> boxes;
        if (!c.failure.empty())
            boxes.push_back({QString::fromStdString(c.failure), "Velnor", QMessageBox::Ok});
        EXPECT_EQ(answerer.boxes, boxes);
        EXPECT_TRUE(window->close());
        EXPECT_EQ(Remembered(), c.shown.native());
        EXPECT_EQ(exitCodes, std::vector<int>{0});
    }
}

// A label's or a button's text, a frame's title, a text box's text.
QString Caption(const QWidget* control) {
    for (const char* property : {"text", "title", "plainText"})
        if (const QVariant caption = control->property(property); caption.isValid())
            return caption.toString();
    return {};
}

// Only the folder is remembered: the rest starts as designed every time, with
// the gauges empty and the ratio at "0%". At 96 dpi a pixel is 15 twips.
TEST_F(MainWindowStartUp, EveryControlStartsWithItsCaptionInItsDesignedPlaceAt96Dpi) {
    using namespace frmMain_design;
    Remembered() = tree.Root().native();
    MakeWindow();
    ASSERT_EQ(window->logicalDpiX(), 96);
    EXPECT_EQ(window->size(), QSize(530, 396));
    EXPECT_EQ(window->windowTitle(), "Velnor");
    EXPECT_FALSE(window->windowIcon().isNull());
    for (const design::ControlDesign& d : Controls()) {
        SCOPED_TRACE(d.name);
        const auto* control = Find<QWidget>(d.name);
        EXPECT_EQ(control->parentWidget(), d.container == design::OnForm
                                               ? static_cast<QWidget*>(window.get())
                                               : Find<QWidget>(Controls()[d.container].name));
        const QString designed = QString::fromUtf8(d.caption);
        const bool list = d.kind == design::ControlKind::DriveList ||
                          d.kind == design::ControlKind::DirectoryList;
        EXPECT_EQ(Caption(control), list || designed.startsWith('|') ? ""
                                    : designed.endsWith('%')         ? "0%"
                                                                     : designed);
        EXPECT_EQ(control->property("checked").toBool(), d.ticked);
        const QRect place(d.place.left / 15, d.place.top / 15, d.place.width / 15,
                          d.place.height / 15);
        EXPECT_EQ(control->pos(), place.topLeft());
        if (!d.wordWrap) {
            EXPECT_EQ(control->size(), d.autoSize ? control->sizeHint() : place.size());
        }
        for (const auto& [role, designed] :
             {std::pair{QPalette::WindowText, d.textColour}, {QPalette::Window, d.backColour}})
            EXPECT_EQ(control->palette().color(role),
                      designed ? QColor(designed->red, designed->green, designed->blue)
                               : QApplication::palette(control).color(role));
        EXPECT_EQ(control->autoFillBackground(), d.backColour.has_value());
    }
    EXPECT_EQ(Find<QLabel>("Label3")->size(), QSize(401, 30)); // wrapped on two lines
    // A full-width character is 12 pixels in the window's font.
    EXPECT_EQ(Find<QLabel>("Label10")->width(), 36);
    // The gauges' counts start at zero too: the next cell lit is the first.
    window->Run().Gauges().UpdateFileBar(100);
    EXPECT_EQ(Find<QLabel>("sp1")->text(), "|");
    // Captions size their labels; a full gauge ends before the ratio.
    window->SetStatus("正在工作: /a/much/longer/path/than/before.htm");
    EXPECT_GT(Find<QLabel>("lbstate")->width(), 200);
    window->SetGaugeCells(Gauge::FileBar, 60);
    EXPECT_EQ(Find<QLabel>("sp1")->width(), 360); // 5400 twips
    EXPECT_LT(Find<QLabel>("sp1")->geometry().right(), Find<QLabel>("Label10")->x());
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
        // A folder named in GBK comes back byte for byte, not as U+FFFD.
        const std::string gbk = "/srv/\xCD\xF8\xD5\xBE";
        store.Write("TrimoraStoreTest", "Root", "Gbk", gbk);
        EXPECT_EQ(QSettingsStore().Read("TrimoraStoreTest", "Root", "Gbk", ""), gbk);
        // A folder where the file should be fails for root too.
        std::filesystem::remove(folder / "TrimoraStoreTest.conf");
        std::filesystem::create_directories(folder / "TrimoraStoreTest.conf");
        EXPECT_THROW(store.Write("TrimoraStoreTest", "Root", "Path", "/"), std::runtime_error);
    }
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace velnor::test
