#include "tests/core/run/run_fixture.h"

#include "core/run/backup_restore.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <tuple>

namespace velnor::test {
namespace {

constexpr const char* Original = "<p>one  two</p>\r\n  <p>three</p>";
constexpr RunSettings CommandLine{false, false}; // pages written while the next are read

using RunFailureTest = RunFixture;

// Pages d0/p.htm to d7/p.htm, in the window's run and the command line's.
TEST_F(RunFailureTest, TheKthPageFailingLeavesTheEarlierCompactedAndItAndTheRestUntouched) {
    // the service call that fails; none: the page is read-only
    for (const std::optional<ServiceCall> call :
         {std::optional<ServiceCall>(), std::optional(ServiceCall::ReadPage),
          std::optional(ServiceCall::StartReplace), std::optional(ServiceCall::Prepare),
          std::optional(ServiceCall::Commit)}) {
        for (const RunSettings run : {RunSettings{}, CommandLine}) {
            for (const std::size_t k : {0, 3, 7}) {
                SCOPED_TRACE(::testing::Message()
                             << "call " << (call ? int(*call) : -1) << ", page " << k << " of the "
                             << (run.reportSteps ? "window's" : "command line's") << " run");
                for (std::size_t i = 0; i < 8; ++i)
                    WritePage("d" + std::to_string(i) + "/p.htm", Original);
                const std::filesystem::path page = PagePath("d" + std::to_string(k) + "/p.htm");
                failures = std::make_shared<ServiceFailures>();
                if (!call) // on Windows: the read-only attribute
                    std::filesystem::permissions(page, std::filesystem::perms::owner_write,
                                                 std::filesystem::perm_options::remove);
                else
                    failures->FailOn(*call, page);
                const auto before = std::filesystem::status(page).permissions();
                window.Messages.clear();
                Start(run);

                ExpectOneCriticalBox(
                    call ? ::testing::Eq(ServiceFailures::ErrorText(page, "injected failure"))
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
    failures->FailOn(ServiceCall::Commit, PagePath("b/p0.htm"));
    Start(RunSettings{GetParam(), false});
    EXPECT_EQ(failures->Log().back().first, ServiceCall::Flush);
    EXPECT_EQ(ReadPage("a/p1.htm"), Compacted(Original));

    failures = std::make_shared<ServiceFailures>();
    failures->FailNth(ServiceCall::Flush, 1, "flush failed");
    window.Messages.clear();
    Start(RunSettings{GetParam(), false});
    ExpectOneCriticalBox("flush failed");
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
    const std::shared_ptr<FileSystemService> other = MakeFileSystem();
    for (const char* held : {"site/sub", ""}) {
        SCOPED_TRACE(held);
        const std::unique_ptr<FolderLock> lock = other->LockFolder(tree.Path(held));
        window.Messages.clear();
        window.Backup = true;
        EXPECT_EQ(Start(), RunOutcome::Failed);
        ExpectOneCriticalBox(FolderInUse(tree.Path("site")).what());
        window.Messages.clear();
        EXPECT_EQ(Restore(), RunOutcome::Failed); // before its question
        ASSERT_EQ(window.Messages.size(), 1u);
        EXPECT_EQ(window.Messages[0].text, FolderInUse(tree.Path("site")).what());
        EXPECT_EQ(ReadPage("sub/a.htm"), Original);
        EXPECT_EQ(tree.Entries(), (Entries{"site.bak/", "site.bak/sub/", "site.bak/sub/a.htm",
                                           "site/", "site/sub/", "site/sub/a.htm"}));
        EXPECT_TRUE(window.Statuses.empty());
    }
}

// What a killed run left (temporary files, a new backup) is removed by the next
// run or restore, not by a dry run, and never taken for pages nor copied.
TEST_F(RunFailureTest, LeftoversOfAKilledRunAreRemovedByTheNextRunOrRestoreAndNeverCopied) {
    const Entries leftovers = {".a.htm.velnor-Ab12Cd", "sub/.b.htm.velnor-xY34zW"};
    const auto plant = [&] {
        for (const std::string& name : leftovers)
            WritePage(name, "half a page");
    };
    WritePage("a.htm", Original);
    WritePage("sub/b.htm", Original);
    plant();
    window.Backup = true;
    driver = std::make_unique<RunDriver>(window, failures->Factory(), RunSettings{false, true});
    EXPECT_EQ(driver->Start().leftoversRemoved, 0u); // a dry run writes nothing
    EXPECT_EQ(tree.Entries("site").size(), 5u);
    window.Statuses.clear();
    tree.WriteFile(".site.bak.velnor-Zz98Yy/a.htm", "a killed backup"); // not yet site.bak
    tree.WriteFile(".site.bak.bak.velnor-Zz98Yy/a.htm", "another folder's");
    driver = std::make_unique<RunDriver>(window, failures->Factory());
    EXPECT_EQ(driver->Start().leftoversRemoved, 3u);
    EXPECT_FALSE(std::filesystem::exists(tree.Path(".site.bak.velnor-Zz98Yy")));
    EXPECT_TRUE(std::filesystem::exists(tree.Path(".site.bak.bak.velnor-Zz98Yy")));
    EXPECT_EQ(tree.Entries("site"), (Entries{"a.htm", "sub/", "sub/b.htm"}));
    EXPECT_EQ(tree.Entries("site.bak"), (Entries{"a.htm", "sub/", "sub/b.htm"}));
    EXPECT_EQ(Worked().size(), 2u);
    plant();
    tree.WriteFile("site.bak/.a.htm.velnor-Qw56Er", "half a page");
    EXPECT_EQ(driver->Restore().leftoversRemoved, 2u);
    EXPECT_EQ(tree.Entries("site"), (Entries{"a.htm", "sub/", "sub/b.htm"}));
}

} // namespace
} // namespace velnor::test
