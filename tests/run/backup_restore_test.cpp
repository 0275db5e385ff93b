#include "run/backup_restore.h"
#include "run/display_path.h"
#include "run/run_driver.h"
#include "tests/run/run_fixture.h"
#include "tests/support/failing_file_system.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace velnor::test {
namespace {

using Entries = std::vector<std::string>;

TEST(BackupPath, IsTheFolderPathFollowedByBak) {
    EXPECT_EQ(BackupPath("/srv/site/pages").native(), "/srv/site/pages.bak");
    EXPECT_EQ(BackupPath("/").native(), "/.bak");
    EXPECT_EQ(BackupPath("/srv/site/").native(), "/srv/site.bak");
    EXPECT_EQ(BackupPath("/srv/a b.c").native(), "/srv/a b.c.bak");
}

class BackupTest : public RunFixture {
protected:
    BackupTest() {
        WritePage("a.htm", "<p>a  b</p>");
        WritePage("sub/b.htm", "x \r\n y");
        WritePage("notes.txt", "keep  me");
    }

    void Start() { RunDriver(window, MakeFailingFileSystemFactory(calls)).Start(); }

    std::shared_ptr<ServiceFailures> calls = std::make_shared<ServiceFailures>();
};

TEST_F(BackupTest, UntickedBackupTestsAndCopiesNothing) {
    window.Backup = false;
    Start();
    EXPECT_EQ(calls->Paths(ServiceCall::FolderExists),
              std::vector<std::filesystem::path>{tree.Path("site")});
    EXPECT_EQ(calls->Calls(ServiceCall::CopyFolder), 0u);
    EXPECT_EQ(tree.Entries(),
              (Entries{"site/", "site/a.htm", "site/notes.txt", "site/sub/", "site/sub/b.htm"}));
}

TEST_F(BackupTest, FirstBackupCopiesTheFolderBeforeAnyPageIsRewrittenWithoutAsking) {
    window.Backup = true;
    Start();
    EXPECT_TRUE(window.Messages.empty());
    EXPECT_EQ(tree.ReadFile("site.bak/a.htm"), "<p>a  b</p>");
    EXPECT_EQ(tree.ReadFile("site.bak/sub/b.htm"), "x \r\n y");
    EXPECT_EQ(tree.ReadFile("site.bak/notes.txt"), "keep  me");
    EXPECT_EQ(ReadPage("a.htm"), Compacted("<p>a  b</p>", WindowOptions()));
    EXPECT_EQ(window.Statuses.back(), "已经完成任务.");
}

TEST_F(BackupTest, ExistingBackupAsksAndYesRefreshesItKeepingItsOwnFiles) {
    tree.WriteFile("site.bak/a.htm", "stale");
    tree.WriteFile("site.bak/only-in-backup.htm", "old page");
    window.Backup = true;
    window.SetNextAnswer(MessageAnswer::Yes);
    Start();

    ASSERT_EQ(window.Messages.size(), 1u);
    const MessageBoxRequest& question = window.Messages[0];
    EXPECT_EQ(question.text, DisplayPath(tree.Path("site")) + ".bak 已经存在,是否继续?");
    EXPECT_EQ(question.title, "覆盖文件");
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(question.icon, MessageIcon::None);
    EXPECT_EQ(question.defaultButton, MessageAnswer::Yes);

    EXPECT_EQ(tree.ReadFile("site.bak/a.htm"), "<p>a  b</p>");
    EXPECT_EQ(tree.ReadFile("site.bak/only-in-backup.htm"), "old page");
    EXPECT_EQ(ReadPage("a.htm"), Compacted("<p>a  b</p>", WindowOptions()));
    EXPECT_EQ(window.Statuses.back(), "已经完成任务.");
}

TEST_F(BackupTest, ExistingBackupAnsweredNoEndsTheRunSilently) {
    tree.WriteFile("site.bak/a.htm", "stale");
    window.Backup = true;
    window.SetNextAnswer(MessageAnswer::No);
    Start();

    EXPECT_EQ(window.Messages.size(), 1u);
    EXPECT_TRUE(window.Statuses.empty());
    EXPECT_EQ(window.Yields, 0u);
    EXPECT_EQ(calls->Calls(ServiceCall::CopyFolder), 0u);
    EXPECT_EQ(calls->Calls(ServiceCall::GetFolder), 0u);
    EXPECT_EQ(ReadPage("a.htm"), "<p>a  b</p>");
    EXPECT_EQ(tree.Entries("site.bak"), (Entries{"a.htm"}));
    EXPECT_EQ(tree.ReadFile("site.bak/a.htm"), "stale");
}

TEST_F(BackupTest, AFailedBackupEndsTheRunBeforeAnyPageIsRewritten) {
    calls->FailOn(ServiceCall::CopyFolder, tree.Path("site"), ENOSPC);
    window.Backup = true;
    Start();

    ASSERT_EQ(window.Messages.size(), 1u);
    EXPECT_EQ(window.Messages[0].icon, MessageIcon::Critical);
    EXPECT_NE(window.Messages[0].text.find("No space left on device"), std::string::npos);
    EXPECT_EQ(ReadPage("a.htm"), "<p>a  b</p>");
    EXPECT_TRUE(window.Statuses.empty());
}

TEST_F(BackupTest, DryRunMakesNoBackup) {
    window.Backup = true;
    RunDriver(window, RealFileSystem(), RunSettings{true, true}).Start();
    EXPECT_EQ(tree.Entries(),
              (Entries{"site/", "site/a.htm", "site/notes.txt", "site/sub/", "site/sub/b.htm"}));
}

class RestoreTest : public BackupTest {
protected:
    void Restore() { RunDriver(window, MakeFailingFileSystemFactory(calls)).Restore(); }
};

TEST_F(RestoreTest, AsksFirstAndCancelChangesNothing) {
    tree.WriteFile("site.bak/a.htm", "backed up");
    window.SetNextAnswer(MessageAnswer::Cancel);
    Restore();

    ASSERT_EQ(window.Messages.size(), 1u);
    const MessageBoxRequest& question = window.Messages[0];
    EXPECT_EQ(question.text, "你确定要还原备份文件吗?");
    EXPECT_EQ(question.title, "Velnor");
    EXPECT_EQ(question.buttons, MessageButtons::OkCancel);
    EXPECT_EQ(question.icon, MessageIcon::None);
    EXPECT_EQ(question.defaultButton, MessageAnswer::Ok);
    EXPECT_EQ(calls->Calls(ServiceCall::CopyFolder), 0u);
    EXPECT_EQ(ReadPage("a.htm"), "<p>a  b</p>");
}

TEST_F(RestoreTest, WithoutABackupShowsTheErrorAndLeavesTheFolder) {
    Restore();

    ASSERT_EQ(window.Messages.size(), 2u);
    const MessageBoxRequest& error = window.Messages[1];
    EXPECT_NE(error.text.find(DisplayPath(tree.Path("site.bak"))), std::string::npos);
    EXPECT_EQ(error.title, "Velnor");
    EXPECT_EQ(error.buttons, MessageButtons::Ok);
    EXPECT_EQ(error.icon, MessageIcon::None);
    EXPECT_EQ(ReadPage("a.htm"), "<p>a  b</p>");
    EXPECT_EQ(tree.Entries(),
              (Entries{"site/", "site/a.htm", "site/notes.txt", "site/sub/", "site/sub/b.htm"}));
}

TEST_F(RestoreTest, BringsBackTheBackedUpPagesAndKeepsPagesAddedSince) {
    window.Backup = true;
    Start();
    ASSERT_EQ(ReadPage("sub/b.htm"), Compacted("x \r\n y", WindowOptions()));
    WritePage("added.htm", "new  page");
    const std::size_t statuses = window.Statuses.size();

    window.SetNextAnswer(MessageAnswer::Ok);
    Restore();

    EXPECT_EQ(ReadPage("a.htm"), "<p>a  b</p>");
    EXPECT_EQ(ReadPage("sub/b.htm"), "x \r\n y");
    EXPECT_EQ(ReadPage("added.htm"), "new  page");
    EXPECT_EQ(tree.ReadFile("site.bak/a.htm"), "<p>a  b</p>"); // restorable again
    ASSERT_EQ(window.Messages.size(), 2u);
    const MessageBoxRequest& done = window.Messages[1];
    EXPECT_EQ(done.text, "文件已经全部还原.");
    EXPECT_EQ(done.title, "Velnor");
    EXPECT_EQ(done.buttons, MessageButtons::Ok);
    EXPECT_EQ(done.icon, MessageIcon::Exclamation);
    EXPECT_EQ(window.Statuses.size(), statuses); // the status label is left alone
}

TEST_F(RestoreTest, CopiesTheBackupOverTheFolderNotTheOtherWayRound) {
    tree.WriteFile("site.bak/a.htm", "backed up");
    Restore(); // the default answer is OK
    EXPECT_EQ(calls->Paths(ServiceCall::CopyFolder),
              std::vector<std::filesystem::path>{tree.Path("site.bak")});
    EXPECT_EQ(ReadPage("a.htm"), "backed up");
    EXPECT_EQ(tree.ReadFile("site.bak/a.htm"), "backed up");
}

} // namespace
} // namespace velnor::test
