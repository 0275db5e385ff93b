#include "tests/ui/qt/ui_fixture.h"
#include "ui/qt/qsettings_store.h"

#include <QClipboard>
#include <QDir>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace velnor::test {
namespace {

using MainWindowStartUp = WindowFixture;

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
