#include "platform/qsettings_store.h"
#include "tests/ui/ui_fixture.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace velnor::test {
namespace {

// Runs in Qt's test locations (App() turns them on before any QSettings), in
// an application name of its own, and removes its file afterwards.
class QSettingsStoreTest : public AppTest {
protected:
    QSettingsStoreTest() { std::filesystem::remove_all(Folder()); }
    ~QSettingsStoreTest() override { std::filesystem::remove_all(Folder()); }

    static std::filesystem::path Folder() {
        const QString config =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        return std::filesystem::path(QDir(config).filePath(Application).toStdString());
    }

    static constexpr const char* Application = "TrimoraStoreTest";
    QSettingsStore store;
};

TEST_F(QSettingsStoreTest, TheStoreLivesInTheTestLocationsOnly) {
    const QString home = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    EXPECT_TRUE(home.contains(".qttest")) << home.toStdString();
    store.Write(Application, "Root", "Path", "/srv/www");
    EXPECT_TRUE(std::filesystem::exists(Folder() / "TrimoraStoreTest.conf"));
}

TEST_F(QSettingsStoreTest, AMissingEntryGivesTheFallback) {
    EXPECT_EQ(store.Read(Application, "Root", "Path", "/home/user"), "/home/user");
    store.Write(Application, "Root", "Other", "x");
    EXPECT_EQ(store.Read(Application, "Root", "Path", "/home/user"), "/home/user");
    EXPECT_EQ(store.Read(Application, "Elsewhere", "Other", ""), "");
}

TEST_F(QSettingsStoreTest, AWrittenEntryIsReadBackAndReplaced) {
    store.Write(Application, "Root", "Path", "/srv/www");
    EXPECT_EQ(store.Read(Application, "Root", "Path", ""), "/srv/www");
    store.Write(Application, "Root", "Path", "/home/用户/网站 新");
    EXPECT_EQ(store.Read(Application, "Root", "Path", ""), "/home/用户/网站 新");
    const QSettings file(QString::fromStdString((Folder() / "TrimoraStoreTest.conf").native()),
                         QSettings::IniFormat);
    EXPECT_EQ(file.value("Root/Path").toString(), "/home/用户/网站 新");
}

TEST_F(QSettingsStoreTest, AWriteThatCannotBeStoredThrows) {
    // A folder where the file should be: no permission bits needed, so it
    // fails for root too.
    std::filesystem::create_directories(Folder() / "TrimoraStoreTest.conf");
    EXPECT_THROW(store.Write(Application, "Root", "Path", "/srv/www"), std::runtime_error);
}

} // namespace
} // namespace velnor::test
