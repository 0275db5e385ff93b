#include "tests/core/run/run_fixture.h"

#include "core/run/backup_restore.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

namespace velnor::test {
namespace {

constexpr const char* Original = "<p>one  two</p>\r\n  <p>three</p>";
constexpr RunSettings CommandLine{false, false}; // pages written while the next are read

// A failure of one page's file calls; none: the page is read-only.
struct PageFailure {
    const char* name;
    std::optional<FileOpKind> kind;
    int error;
    bool onFolder = false; // the call is on the unnamed file, which counts as its folder's
};

class PageFailureTest : public RunFixture, public ::testing::WithParamInterface<PageFailure> {};

// Pages d0/p.htm to d7/p.htm, in the window's run and the command line's.
TEST_P(PageFailureTest, TheKthPageFailingLeavesTheEarlierCompactedAndItAndTheRestUntouched) {
    const PageFailure failure = GetParam();
    for (const RunSettings run : {RunSettings{}, CommandLine}) {
        for (const std::size_t k : {0, 3, 7}) {
            SCOPED_TRACE(::testing::Message()
                         << "page " << k << " of the "
                         << (run.reportSteps ? "window's" : "command line's") << " run");
            for (std::size_t i = 0; i < 8; ++i)
                WritePage("d" + std::to_string(i) + "/p.htm", Original);
            const std::filesystem::path page = PagePath("d" + std::to_string(k) + "/p.htm");
            ops = std::make_shared<FailingFileOps>();
            if (!failure.kind)
                ASSERT_EQ(chmod(page.c_str(), 0444), 0);
            else
                ops->FailOnPath(*failure.kind, failure.onFolder ? page.parent_path() : page,
                                failure.error);
            struct stat before {};
            ASSERT_EQ(stat(page.c_str(), &before), 0);
            window.Messages.clear();
            Start(run);

            ExpectOneCriticalBox(OsError(failure.error, page).what());
            for (std::size_t i = 0; i < 8; ++i) {
                const std::string folder = "d" + std::to_string(i);
                EXPECT_EQ(ReadPage(folder + "/p.htm"), i < k ? Compacted(Original) : Original);
                EXPECT_EQ(tree.Entries("site/" + folder), Entries{"p.htm"});
            }
            struct stat after {};
            ASSERT_EQ(stat(page.c_str(), &after), 0);
            EXPECT_EQ(after.st_ino, before.st_ino);
            EXPECT_EQ(after.st_mode, before.st_mode);
            EXPECT_NE(window.Statuses.back(), Finished);
            EXPECT_EQ(ops->OpenDescriptors(), 0u);
            std::filesystem::remove_all(tree.Path("site"));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Calls, PageFailureTest,
    ::testing::Values(PageFailure{"ReadOnly", std::nullopt, EACCES},
                      PageFailure{"Unreadable", FileOpKind::Open, EIO},
                      PageFailure{"Unwritable", FileOpKind::Lstat, EACCES},
                      PageFailure{"NoRoomForTheNewFile", FileOpKind::OpenUnnamed, ENOSPC, true},
                      PageFailure{"DiskFull", FileOpKind::Write, ENOSPC, true},
                      PageFailure{"PermissionsRefused", FileOpKind::Fchmod, EPERM, true},
                      PageFailure{"FlushFailed", FileOpKind::Fsync, EIO, true},
                      PageFailure{"RenameFailed", FileOpKind::Rename, EXDEV}),
    [](const auto& info) { return std::string(info.param.name); });

using RunFailureTest = RunFixture;

TEST_F(RunFailureTest, AFolderThatCannotBeListedEndsTheRunBeforeAnyPage) {
    WritePage("a.htm", Original);
    WritePage("sub/d.htm", Original);
    ops->FailOnPath(FileOpKind::ListFolder, tree.Path("site/sub/"), EACCES);
    Start();
    ExpectOneCriticalBox(OsError(EACCES, tree.Path("site/sub/")).what());
    EXPECT_EQ(ReadPage("a.htm"), Original);
    EXPECT_TRUE(Worked().empty());
}

TEST_F(RunFailureTest, APageTooLargeForItsLengthIsRefusedUnread) {
    WritePage("a.htm", Original);
    WritePage("b.htm", "");
    std::filesystem::resize_file(PagePath("b.htm"), std::uintmax_t{1} << 31);
    Start();
    ExpectOneCriticalBox(DisplayPath(PagePath("b.htm")) + ": page is larger than 2147483647 bytes");
    const auto read = ops->CallPaths(FileOpKind::Read);
    EXPECT_EQ(std::count(read.begin(), read.end(), PagePath("b.htm")), 0);
    EXPECT_EQ(ReadPage("a.htm"), Compacted(Original));
}

// Three folders of four pages.
class FolderFlushTest : public RunFixture, public ::testing::WithParamInterface<bool> {
protected:
    FolderFlushTest() {
        for (const char* folder : {"a", "b", "c"})
            for (const char* page : {"/p0.htm", "/p1.htm", "/p2.htm", "/p3.htm"})
                WritePage(folder + std::string(page), Original);
    }

    // Renames by their folder, and folder flushes (the only folders opened but
    // the site, for its lock).
    Entries RenamesAndFlushes() const {
        Entries calls;
        for (const auto& [kind, path] : ops->Log()) {
            if (kind == FileOpKind::Rename)
                calls.push_back(path.parent_path().filename());
            else if (kind == FileOpKind::Open && std::filesystem::is_directory(path) &&
                     path != tree.Path("site"))
                calls.push_back("flush " + path.filename().native());
        }
        return calls;
    }
};

TEST_P(FolderFlushTest, EachFolderIsFlushedOnceAfterItsLastPage) {
    Start(RunSettings{GetParam(), false});
    ASSERT_EQ(window.Statuses.back(), Finished);
    EXPECT_EQ(RenamesAndFlushes(), (Entries{"a", "a", "a", "a", "flush a", "b", "b", "b", "b",
                                            "flush b", "c", "c", "c", "c", "flush c"}));
    EXPECT_EQ(ops->Calls(FileOpKind::Fsync), 12 + 3);
}

TEST_P(FolderFlushTest, AFailedRunStillFlushesWhatItRenamedAndAFailedLastFlushIsReported) {
    ops->FailOnPath(FileOpKind::Rename, PagePath("b/p1.htm"), EIO);
    Start(RunSettings{GetParam(), false});
    ExpectOneCriticalBox(OsError(EIO, PagePath("b/p1.htm")).what());
    // b/p1.htm's rename is tried, and fails
    EXPECT_EQ(RenamesAndFlushes(), (Entries{"a", "a", "a", "a", "flush a", "b", "b", "flush b"}));

    ops = std::make_shared<FailingFileOps>();
    ops->FailNth(FileOpKind::Fsync, 12 + 3, EIO); // the last folder's, after every page's
    window.Messages.clear();
    Start(RunSettings{GetParam(), false});
    ExpectOneCriticalBox(OsError(EIO, tree.Path("site/c")).what());
    EXPECT_NE(window.Statuses.back(), Finished);
    EXPECT_EQ(ReadPage("c/p3.htm"), Compacted(Original));
}

INSTANTIATE_TEST_SUITE_P(Runs, FolderFlushTest, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "Window" : "CommandLine");
});

// A backup path that could make the copy write anywhere but into the backup
// is refused before anything is copied or rewritten; so is such a source of
// a restore.
TEST_F(RunFailureTest, ABackupPathThatIsALinkOrAroundTheFolderIsRefusedBeforeAnything) {
    struct Case {
        const char* what;
        std::function<void(const TempTree&)> make;
        std::string error;
    };
    const Case cases[] = {
        {"a link", [](const TempTree& t) { t.MakeLink("site.bak", t.Path("elsewhere")); },
         LinkRefused(tree.Path("site.bak")).what()},
        {"a dangling link", [](const TempTree& t) { t.MakeLink("site.bak", t.Path("none")); },
         LinkRefused(tree.Path("site.bak")).what()},
        {"a file", [](const TempTree& t) { t.WriteFile("site.bak", ""); },
         DisplayPath(tree.Path("site.bak")) + ": not a folder"},
        {"around the folder",
         [](const TempTree& t) {
             std::filesystem::rename(t.Path("site"), t.Path("real"));
             t.MakeFolder("site.bak");
             std::filesystem::rename(t.Path("real"), t.Path("site.bak/site"));
             t.MakeLink("site", t.Path("site.bak/site"));
         },
         DisplayPath(tree.Path("site.bak")) + ": is " + DisplayPath(tree.Path("site")) +
             ", or lies inside or around it, under another name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(tree.Root());
        std::filesystem::create_directory(tree.Root());
        tree.MakeFolder("elsewhere");
        WritePage("a.htm", Original);
        c.make(tree);
        const Entries before = tree.Entries();
        window.Backup = true;
        window.Messages.clear();
        EXPECT_EQ(Start(), RunOutcome::Failed);
        ExpectOneCriticalBox(c.error);
        EXPECT_EQ(Restore(), RunOutcome::Failed);
        ASSERT_EQ(window.Messages.size(), 3u); // the question, then the error
        EXPECT_EQ(window.Messages[2].text, c.error);
        EXPECT_EQ(tree.Entries(), before);
        EXPECT_EQ(ReadPage("a.htm"), Original);
    }
}

// Another writer at a yield of the window's run: the page it touched ends
// the run and stays as that writer left it; nothing is read from a pipe, and
// the earlier pages are done.
TEST_F(RunFailureTest, APageSwappedOrChangedDuringTheRunEndsItAndIsLeftAsTheOtherWriterLeftIt) {
    const std::size_t steps = std::string_view(Original).size() - 1;
    for (const bool swap : {true, false}) {
        std::filesystem::remove_all(tree.Path("site"));
        for (const char* page : {"a.htm", "b.htm", "c.htm"})
            WritePage(page, Original);
        const std::filesystem::path b = PagePath("b.htm");
        // yields: 3 of the search, then a.htm's steps, then b.htm's
        window.OnYield = [&](std::size_t yield) {
            if (swap && yield == 3 + steps) { // a pipe before b.htm is read
                std::filesystem::remove(b);
                ASSERT_EQ(mkfifo(b.c_str(), 0600), 0);
            } else if (!swap && yield == 3 + steps + 2) { // more while b.htm is compacted
                std::ofstream(b, std::ios::app) << "<p>more</p>";
            }
        };
        window.Yields = 0;
        window.Messages.clear();
        EXPECT_EQ(Start(), RunOutcome::Failed);
        ExpectOneCriticalBox(swap ? NotOrdinaryFile(b).what() : PageChanged(b).what());
        EXPECT_EQ(ReadPage("a.htm"), Compacted(Original));
        if (!swap) {
            EXPECT_EQ(ReadPage("b.htm"), Original + std::string("<p>more</p>"));
        }
        EXPECT_EQ(ReadPage("c.htm"), Original);
        EXPECT_EQ(tree.Entries("site"), (Entries{"a.htm", "b.htm", "c.htm"}));
    }
}

// While a run or restore holds a folder, another on it, inside it or around
// it is refused at once and changes nothing.
TEST_F(RunFailureTest, AFolderHeldByAnotherRunIsRefusedAtOnceAndNothingChanges) {
    WritePage("sub/a.htm", Original);
    tree.WriteFile("site.bak/sub/a.htm", "backed up");
    const std::shared_ptr<FileSystemService> other = MakeFileSystem();
    for (const char* held : {"site", "site/sub", ""}) {
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

// Temporary files a killed run left are removed by the next run or restore
// (not by a dry run), never taken for pages and never copied; so is the new
// backup it was building.
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
    driver = std::make_unique<RunDriver>(window, ops->Factory(), RunSettings{false, true});
    EXPECT_EQ(driver->Start().leftoversRemoved, 0u); // a dry run writes nothing
    EXPECT_EQ(tree.Entries("site").size(), 5u);
    window.Statuses.clear();
    tree.WriteFile(".site.bak.velnor-Zz98Yy/a.htm", "a killed backup"); // not yet site.bak
    tree.WriteFile(".site.bak.bak.velnor-Zz98Yy/a.htm", "another folder's");
    driver = std::make_unique<RunDriver>(window, ops->Factory());
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
