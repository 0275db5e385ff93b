#include "tests/core/run/run_fixture.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
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

} // namespace
} // namespace velnor::test
