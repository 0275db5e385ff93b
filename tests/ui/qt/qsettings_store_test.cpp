#include "tests/ui/qt/ui_fixture.h"
#include "ui/qt/qsettings_store.h"

#include <QDir>

#include <gtest/gtest.h>

#include <filesystem>

namespace velnor::test {
namespace {

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
