#include "tests/core/run/run_fixture.h"

#include "core/files/temp_name.h"
#include "core/text/path_text.h"

#include <filesystem>
#include <string>

namespace velnor::test {
namespace {

constexpr const char* Original = "<p>one  two</p>";

// Another program swaps a folder for a link while a run, a backup, a restore
// or a cleanup works: what the link leads to is neither read nor written, the
// run ends with the folder the user knows named, and every page is whole.
class RunRaceTest : public RunFixture {
protected:
    void SetUp() override {
        if (!TempTree::MakesLinks())
            GTEST_SKIP() << "no links can be made here";
    }
    RunRaceTest() {
        WritePage("a/p.htm", Original);
        WritePage("b/p.htm", Original);
        tree.WriteFile("outside/victim.htm", Original);
    }
    // Swaps site/b for a link to outside before the first call of that kind on path.
    void SwapBefore(FileCall call, const std::filesystem::path& path) {
        failures->BeforeOn(
            call, path, [this] { ASSERT_TRUE(tree.SwapForLink("site/b", tree.Path("outside"))); });
    }
    void ExpectOutsideUntouchedAndFailure(const std::string& error) {
        EXPECT_EQ(tree.Entries("outside"), Entries{"victim.htm"});
        EXPECT_EQ(tree.ReadFile("outside/victim.htm"), Original);
        ASSERT_FALSE(window.Messages.empty());
        EXPECT_EQ(window.Messages.back().text, error);
    }
};

TEST_F(RunRaceTest, ASubfolderSwappedDuringTheRewritesIsNotFollowed) {
    SwapBefore(FileCall::OpenFile, PagePath("a/p.htm"));
    EXPECT_EQ(Start(), RunOutcome::Failed);
    ExpectOutsideUntouchedAndFailure(LinkRefused(tree.Path("site/b")).what());
    EXPECT_EQ(ReadPage("a/p.htm"), Compacted(Original));
    EXPECT_EQ(ReadPage("b.real/p.htm"), Original);
}

TEST_F(RunRaceTest, ASubfolderSwappedDuringTheBackupIsNotCopiedAndNoBackupStands) {
    window.Backup = true;
    SwapBefore(FileCall::OpenFile, PagePath("a/p.htm"));
    EXPECT_EQ(Start(), RunOutcome::Failed);
    ExpectOutsideUntouchedAndFailure(LinkRefused(tree.Path("site/b")).what());
    EXPECT_EQ(tree.Entries(),
              (Entries{"outside/", "outside/victim.htm", "site/", "site/a/", "site/a/p.htm",
                       "site/b", "site/b.real/", "site/b.real/p.htm"}));
    EXPECT_EQ(ReadPage("a/p.htm"), Original);
}

// The folder itself moved and another tree put in its place while the backup
// is copied: the backup holds the folder as it was opened, and no page of
// either tree is compacted.
TEST_F(RunRaceTest, TheFolderItselfSwappedDuringTheBackupEndsTheRunBeforeAnyPage) {
    window.Backup = true;
    failures->BeforeOn(FileCall::OpenFile, PagePath("a/p.htm"),
                       [this] { ASSERT_TRUE(tree.SwapForLink("site", tree.Path("outside"))); });
    EXPECT_EQ(Start(), RunOutcome::Failed);
    // Wine names what is opened in a folder after the path the folder had: once
    // that leads elsewhere, links in it cannot be told from files, and the
    // backup stops in the first folder it goes on in, leaving none
    if (NamesAreBytes) {
        ExpectOutsideUntouchedAndFailure(FolderMoved(tree.Path("site")).what());
        EXPECT_EQ(tree.Entries("site.bak"), (Entries{"a/", "a/p.htm", "b/", "b/p.htm"}));
    } else {
        ExpectOutsideUntouchedAndFailure(FolderMoved(tree.Path("site/a")).what());
        EXPECT_FALSE(std::filesystem::exists(tree.Path("site.bak")));
    }
    EXPECT_EQ(tree.ReadFile("site.real/a/p.htm"), Original);
    EXPECT_EQ(tree.ReadFile("site.real/b/p.htm"), Original);
}

TEST_F(RunRaceTest, ASubfolderSwappedDuringARestoreIsNotWrittenThrough) {
    tree.WriteFile("site.bak/a/p.htm", "backed up");
    tree.WriteFile("site.bak/b/p.htm", "backed up");
    tree.WriteFile("site.bak/b/new.htm", "backed up");
    SwapBefore(FileCall::CreateFile, PagePath("a/p.htm"));
    EXPECT_EQ(Restore(), RunOutcome::Failed);
    ExpectOutsideUntouchedAndFailure(LinkRefused(tree.Path("site/b")).what());
    EXPECT_EQ(ReadPage("a/p.htm"), "backed up");
    EXPECT_EQ(ReadPage("b.real/p.htm"), Original);
}

// What only the link's target holds under a leftover's name stays there.
TEST_F(RunRaceTest, ASubfolderSwappedDuringTheCleanupLosesNothingOutside) {
    const std::string leftover =
        std::filesystem::path(TempNameFor(PathFromUtf8("p.htm").native())).string();
    WritePage("b/" + leftover, "half a page");
    tree.WriteFile("outside/" + leftover, "not the run's");
    SwapBefore(FileCall::OpenFolder, tree.Path("site/b"));
    EXPECT_EQ(Start(), RunOutcome::Failed);
    EXPECT_EQ(tree.ReadFile("outside/" + leftover), "not the run's");
    ASSERT_FALSE(window.Messages.empty());
    EXPECT_EQ(window.Messages.back().text, LinkRefused(tree.Path("site/b")).what());
}

} // namespace
} // namespace velnor::test
