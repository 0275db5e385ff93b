#include "tests/core/run/run_fixture.h"

#include "core/files/temp_name.h"
#include "core/run/backup_restore.h"
#include "core/text/path_text.h"

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <tuple>

namespace velnor::test {
namespace {

constexpr const char* Original = "<p>one  two</p>\r\n  <p>three</p>";
constexpr RunSettings CommandLine{false, false}; // pages written while the next are read

using RunFailureTest = RunFixture;

// Pages d0/p.htm to d7/p.htm, in the window's run and the command line's.
TEST_F(RunFailureTest, TheKthPageFailingLeavesTheEarlierCompactedAndItAndTheRestUntouched) {
    // the call that fails; none: the page is read-only
    for (const std::optional<FileCall> call :
         {std::optional<FileCall>(), std::optional(FileCall::OpenFile),
          std::optional(FileCall::HoldPage), std::optional(FileCall::WriteFile),
          std::optional(FileCall::Rename)}) {
        for (const RunSettings run : {RunSettings{}, CommandLine}) {
            for (const std::size_t k : {0, 3, 7}) {
                SCOPED_TRACE(::testing::Message()
                             << "call " << (call ? int(*call) : -1) << ", page " << k << " of the "
                             << (run.reportSteps ? "window's" : "command line's") << " run");
                for (std::size_t i = 0; i < 8; ++i)
                    WritePage("d" + std::to_string(i) + "/p.htm", Original);
                const std::filesystem::path page = PagePath("d" + std::to_string(k) + "/p.htm");
                failures = std::make_shared<FileSystemFailures>();
                if (!call) // on Windows: the read-only attribute
                    std::filesystem::permissions(page, std::filesystem::perms::owner_write,
                                                 std::filesystem::perm_options::remove);
                else
                    failures->FailOn(*call, page);
                const auto before = std::filesystem::status(page).permissions();
                window.Messages.clear();
                Start(run);

                ExpectOneCriticalBox(
                    call ? ::testing::Eq(FileSystemFailures::ErrorText(page, "injected failure"))
                         : SystemError(page));
                for (std::size_t i = 0; i < 8; ++i) {
                    const std::string folder = "d" + std::to_string(i);
                    EXPECT_EQ(ReadPage(folder + "/p.htm"), i < k ? Compacted(Original) : Original);
                    EXPECT_EQ(tree.Entries("site/" + folder), Entries{"p.htm"});
                }
                EXPECT_EQ(std::filesystem::status(page).permissions(), before);
                EXPECT_NE(window.Statuses.back(), Finished);
                // Windows removes no read-only file
                std::filesystem::permissions(page, std::filesystem::perms::owner_write,
                                             std::filesystem::perm_options::add);
                std::filesystem::remove_all(tree.Path("site"));
            }
        }
    }
}

TEST_F(RunFailureTest, APageTooLargeForItsLengthIsRefusedUnread) {
    WritePage("a.htm", Original);
    WritePage("b.htm", "");
    std::filesystem::resize_file(PagePath("b.htm"), std::uintmax_t{1} << 31);
    Start();
    ExpectOneCriticalBox(DisplayPath(PagePath("b.htm")) + ": page is larger than 2147483647 bytes");
    EXPECT_EQ(ReadPage("a.htm"), Compacted(Original));
}

class FlushTest : public RunFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(FlushTest, ARunFlushesAtItsEndEvenAfterAFailureAndAFailedLastFlushIsReported) {
    for (const char* page : {"a/p0.htm", "a/p1.htm", "b/p0.htm", "b/p1.htm"})
        WritePage(page, Original);
    failures->FailOn(FileCall::Rename, PagePath("b/p0.htm"));
    Start(RunSettings{GetParam(), false});
    std::vector<std::pair<FileCall, std::filesystem::path>> renamesAndFlushes;
    for (const auto& call : failures->Log())
        if (call.first == FileCall::Rename || call.first == FileCall::SyncFolder)
            renamesAndFlushes.push_back(call);
    EXPECT_EQ(renamesAndFlushes, (std::vector{std::pair(FileCall::Rename, PagePath("a/p0.htm")),
                                              std::pair(FileCall::Rename, PagePath("a/p1.htm")),
                                              std::pair(FileCall::SyncFolder, tree.Path("site/a")),
                                              std::pair(FileCall::Rename, PagePath("b/p0.htm"))}));
    EXPECT_EQ(ReadPage("a/p1.htm"), Compacted(Original));

    failures = std::make_shared<FileSystemFailures>();
    failures->FailOn(FileCall::SyncFolder, tree.Path("site/b"), "flush failed");
    window.Messages.clear();
    Start(RunSettings{GetParam(), false});
    ExpectOneCriticalBox(DisplayPath(tree.Path("site/b")) + ": flush failed");
    EXPECT_NE(window.Statuses.back(), Finished);
    EXPECT_EQ(ReadPage("b/p1.htm"), Compacted(Original));
}

INSTANTIATE_TEST_SUITE_P(Runs, FlushTest, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "Window" : "CommandLine");
});

TEST_F(RunFailureTest, ABackupPathThatIsALinkOrAroundTheFolderIsRefusedBeforeAnything) {
    std::vector<std::tuple<const char*, std::function<void(const TempTree&)>, std::string>> cases =
        {{"a file", [](const TempTree& t) { t.WriteFile("site.bak", ""); },
          DisplayPath(tree.Path("site.bak")) + ": not a folder"}};
    if (NamesAreBytes) // where any user can make links
        cases.insert(
            cases.end(),
            {{"a link", [](const TempTree& t) { t.MakeLink("site.bak", t.Path("elsewhere")); },
              LinkRefused(tree.Path("site.bak")).what()},
             {"around the folder",
              [](const TempTree& t) {
                  std::filesystem::rename(t.Path("site"), t.Path("real"));
                  t.MakeFolder("site.bak");
                  std::filesystem::rename(t.Path("real"), t.Path("site.bak/site"));
                  t.MakeLink("site", t.Path("site.bak/site"));
              },
              DisplayPath(tree.Path("site.bak")) + ": is " + DisplayPath(tree.Path("site")) +
                  ", or lies inside or around it, under another name"}});
    for (const auto& [what, make, error] : cases) {
        SCOPED_TRACE(what);
        std::filesystem::remove_all(tree.Root());
        std::filesystem::create_directory(tree.Root());
        tree.MakeFolder("elsewhere");
        WritePage("a.htm", Original);
        make(tree);
        const Entries before = tree.Entries();
        window.Backup = true;
        window.Messages.clear();
        EXPECT_EQ(Start(), RunOutcome::Failed);
        ExpectOneCriticalBox(error);
        EXPECT_EQ(Restore(), RunOutcome::Failed);
        ASSERT_EQ(window.Messages.size(), 3u); // the question, then the error
        EXPECT_EQ(window.Messages[2].text, error);
        EXPECT_EQ(tree.Entries(), before);
        EXPECT_EQ(ReadPage("a.htm"), Original);
    }
}

TEST_F(RunFailureTest, AFolderHeldByAnotherRunIsRefusedAtOnceAndNothingChanges) {
    WritePage("sub/a.htm", Original);
    tree.WriteFile("site.bak/sub/a.htm", "backed up");
    for (const char* held : {"site/sub", ""}) {
        SCOPED_TRACE(held);
        const std::unique_ptr<FolderLock> lock =
            MakeFileSystem()->OpenFolder(tree.Path(held))->Lock(true);
        window.Messages.clear();
        window.Backup = true;
        EXPECT_EQ(Start(), RunOutcome::Failed);
        ExpectOneCriticalBox(FolderInUse(tree.Path("site")).what());
        window.Messages.clear();
        EXPECT_EQ(Restore(), RunOutcome::Failed); // after its question
        ASSERT_EQ(window.Messages.size(), 2u);
        EXPECT_EQ(window.Messages[1].text, FolderInUse(tree.Path("site")).what());
        EXPECT_EQ(ReadPage("sub/a.htm"), Original);
        EXPECT_EQ(tree.Entries(), (Entries{"site.bak/", "site.bak/sub/", "site.bak/sub/a.htm",
                                           "site/", "site/sub/", "site/sub/a.htm"}));
        EXPECT_TRUE(window.Statuses.empty());
    }
}

// What killed runs, restores and backups left (named temporary files and
// links, page copies in the backup, unfinished backups beside it) is removed
// by the next run or restore, not by a dry run, and never taken for pages nor
// copied; what only looks like it stays.
TEST_F(RunFailureTest, LeftoversOfKilledRunsAreRemovedByTheNextRunOrRestoreAndNothingElse) {
    std::map<std::string, std::string> temps; // one name each, as a killed run leaves
    const auto temp = [&](const std::string& target) {
        auto [made, added] = temps.try_emplace(target);
        if (added)
            made->second =
                std::filesystem::path(TempNameFor(PathFromUtf8(target).native())).string();
        return made->second;
    };
    const std::string user = ".a.htm.velnor-custom"; // a user's name of that shape
    const auto plant = [&] {
        WritePage(temp("a.htm"), "half a page");
        WritePage("sub/" + temp("b.htm"), "half a page");
        if (NamesAreBytes)
            tree.MakeLink("site/" + temp("lnk"), "a.htm");
        tree.WriteFile("site.bak/" + temp("a.htm"), "a page copied half");
        for (const char* file : {"a.htm", "b/c.htm", "d.htm"})
            tree.WriteFile(temp("site.bak") + "/" + file, "a killed backup");
    };
    WritePage("a.htm", Original);
    WritePage("sub/b.htm", Original);
    WritePage(user, "the user's");
    tree.WriteFile("site.bak/a.htm", Original);
    tree.MakeFolder(".site.bak.velnor-custom");
    plant();
    const Entries planted = tree.Entries();
    window.Backup = true;
    driver = std::make_unique<RunDriver>(window, failures->Factory(), RunSettings{false, true});
    EXPECT_EQ(driver->Start().leftovers, Leftovers{}); // a dry run writes nothing
    EXPECT_EQ(tree.Entries(), planted);

    window.Statuses.clear();
    driver = std::make_unique<RunDriver>(window, failures->Factory());
    EXPECT_EQ(driver->Start().leftovers,
              (Leftovers{.files = NamesAreBytes ? 4u : 3u, .copies = 1, .filesInCopies = 3}));
    EXPECT_EQ(tree.Entries("site"), (Entries{user, "a.htm", "sub/", "sub/b.htm"}));
    EXPECT_EQ(tree.Entries("site.bak"), (Entries{user, "a.htm", "sub/", "sub/b.htm"}));
    EXPECT_TRUE(std::filesystem::exists(tree.Path(".site.bak.velnor-custom")));
    EXPECT_EQ(Worked().size(), 2u);

    plant();
    EXPECT_EQ(driver->Restore().leftovers,
              (Leftovers{.files = NamesAreBytes ? 4u : 3u, .copies = 1, .filesInCopies = 3}));
    EXPECT_EQ(tree.Entries("site"), (Entries{user, "a.htm", "sub/", "sub/b.htm"}));
}

} // namespace
} // namespace velnor::test
