#include "run/display_path.h"
#include "run/os_error.h"
#include "run/run_driver.h"
#include "tests/run/run_fixture.h"
#include "tests/support/failing_file_ops.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace velnor::test {
namespace {

const std::string Finished = "已经完成任务.";
constexpr const char* Original = "<p>one  two</p>\r\n  <p>three</p>";

// prefix, i and suffix, built by appending (GCC 12 warns falsely of prepends to a temporary)
std::string Numbered(const char* prefix, std::size_t i, const char* suffix = "") {
    std::string name = prefix;
    name += std::to_string(i);
    name += suffix;
    return name;
}

struct CountingObserver : RunObserver {
    void PageDone(const std::filesystem::path& page, std::uint64_t, std::uint64_t) override {
        done.push_back(page);
    }
    std::vector<std::filesystem::path> done;
};

// The command line's run, whose pages are written while the next are read.
class OverlappedRunTest : public RunFixture {
protected:
    void Start(bool reportSteps = false) {
        driver = std::make_unique<RunDriver>(window, ops->Factory(),
                                             RunSettings{reportSteps, false}, &observer);
        driver->Start();
    }

    // Folders d0 to d(count-1), one page each: a failure on a folder's path
    // hits that page alone, as a file without a name counts as its folder's.
    std::vector<std::string> OnePagePerFolder(std::size_t count) {
        std::vector<std::string> pages;
        for (std::size_t i = 0; i < count; ++i) {
            pages.push_back(Numbered("d", i, "/p.htm"));
            WritePage(pages.back(), Original);
        }
        return pages;
    }

    // The first `done` pages compacted, the rest as they were, each alone in its folder.
    void ExpectRunEndedAt(const std::vector<std::string>& pages, std::size_t done) const {
        for (std::size_t i = 0; i < pages.size(); ++i) {
            EXPECT_EQ(ReadPage(pages[i]),
                      i < done ? Compacted(Original, WindowOptions()) : Original)
                << pages[i];
            EXPECT_EQ(tree.Entries(Numbered("site/d", i)), std::vector<std::string>{"p.htm"});
        }
        ASSERT_EQ(observer.done.size(), done);
        EXPECT_NE(window.Statuses.back(), Finished);
        EXPECT_FALSE(driver->Running());
        EXPECT_EQ(ops->OpenDescriptors(), 0u);
    }

    std::shared_ptr<FailingFileOps> ops = std::make_shared<FailingFileOps>();
    CountingObserver observer;
    std::unique_ptr<RunDriver> driver;
};

struct PageFailure {
    const char* name;
    FileOpKind kind;
    int error;
    bool onFolder; // the call is made on the unnamed file, which counts as its folder's
};

class OverlappedPageFailureTest : public OverlappedRunTest,
                                  public ::testing::WithParamInterface<PageFailure> {};

TEST_P(OverlappedPageFailureTest, EndsTheRunAtThatPageWithItsErrorAndNothingLeftBeside) {
    const PageFailure failure = GetParam();
    for (const int failing : {0, 3, 7}) {
        tree.MakeFolder("site");
        const std::vector<std::string> pages = OnePagePerFolder(8);
        const std::filesystem::path page = PagePath(pages[failing]);
        ops->Heal();
        ops->FailOnPath(failure.kind, failure.onFolder ? page.parent_path() : page, failure.error);
        window.Messages.clear();
        observer.done.clear();

        Start();

        ASSERT_EQ(window.Messages.size(), 1u) << failing;
        EXPECT_EQ(window.Messages[0].text, OsError(failure.error, page).what());
        EXPECT_EQ(window.Messages[0].icon, MessageIcon::Critical);
        ExpectRunEndedAt(pages, failing);
        std::filesystem::remove_all(tree.Path("site"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Calls, OverlappedPageFailureTest,
    ::testing::Values(PageFailure{"WriteEnospc", FileOpKind::Write, ENOSPC, true},
                      PageFailure{"FsyncEio", FileOpKind::Fsync, EIO, true},
                      PageFailure{"ChmodEperm", FileOpKind::Fchmod, EPERM, true},
                      PageFailure{"CreateEnospc", FileOpKind::OpenUnnamed, ENOSPC, true},
                      PageFailure{"RenameExdev", FileOpKind::Rename, EXDEV, false}),
    [](const ::testing::TestParamInfo<PageFailure>& info) { return info.param.name; });

TEST_F(OverlappedRunTest, AReadOnlyPageEndsTheRunBeforeItIsTouched) {
    const std::vector<std::string> pages = OnePagePerFolder(5);
    ASSERT_EQ(chmod(PagePath(pages[2]).c_str(), 0444), 0);

    Start();

    ASSERT_EQ(window.Messages.size(), 1u);
    EXPECT_EQ(window.Messages[0].text, OsError(EACCES, PagePath(pages[2])).what());
    ExpectRunEndedAt(pages, 2);
    const auto& created = ops->CallPaths(FileOpKind::OpenUnnamed);
    EXPECT_EQ(std::count(created.begin(), created.end(), PagePath(pages[2]).parent_path()), 0);
    struct stat info {};
    ASSERT_EQ(stat(PagePath(pages[2]).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);
}

TEST_F(OverlappedRunTest, APageThatCannotBeReadStillLetsTheEarlierOnesFinish) {
    const std::vector<std::string> pages = OnePagePerFolder(6);
    ops->FailOnPath(FileOpKind::Open, PagePath(pages[4]), EIO);

    Start();

    ASSERT_EQ(window.Messages.size(), 1u);
    EXPECT_EQ(window.Messages[0].text, OsError(EIO, PagePath(pages[4])).what());
    EXPECT_EQ(window.Statuses.back(), "正在工作: " + DisplayPath(PagePath(pages[4])));
    ExpectRunEndedAt(pages, 4);
}

// Whichever page's write fails, the run ends there: a property over the nth
// write of a run whose pages share one folder.
TEST_F(OverlappedRunTest, TheRewrittenPagesAreAlwaysTheOnesBeforeTheFailingOne) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < 20; ++i)
        names.push_back(Numbered("p", 100 + i, ".htm"));
    for (int nth = 1; nth <= 20; nth += 3) {
        for (const std::string& name : names)
            WritePage(name, Original);
        ops->Heal();
        ops->FailNth(FileOpKind::Write, nth, EIO);
        window.Messages.clear();
        observer.done.clear();

        Start();

        ASSERT_EQ(window.Messages.size(), 1u) << nth;
        std::size_t failing = 0;
        while (failing < names.size() &&
               window.Messages[0].text != OsError(EIO, PagePath(names[failing])).what())
            ++failing;
        ASSERT_LT(failing, names.size()) << window.Messages[0].text;
        for (std::size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ(ReadPage(names[i]),
                      i < failing ? Compacted(Original, WindowOptions()) : Original)
                << nth << " " << names[i];
        EXPECT_EQ(tree.Entries("site"), names) << nth;
        EXPECT_EQ(observer.done.size(), failing) << nth;
    }
}

// Three folders of four pages; the calls that make the renames durable.
class FolderFlushTest : public OverlappedRunTest, public ::testing::WithParamInterface<bool> {
protected:
    FolderFlushTest() {
        for (const char* folder : {"a", "b", "c"})
            for (int i = 0; i < 4; ++i)
                WritePage(std::string(folder) + "/p" + std::to_string(i) + ".htm", Original);
    }

    // A folder flush opens the folder; nothing else opens one through the calls.
    std::vector<std::filesystem::path> FlushedFolders() const {
        std::vector<std::filesystem::path> flushed;
        for (const auto& path : ops->CallPaths(FileOpKind::Open))
            if (std::filesystem::is_directory(path))
                flushed.push_back(path);
        return flushed;
    }
};

TEST_P(FolderFlushTest, EachFolderIsFlushedOnceAfterItsLastPageNotOncePerPage) {
    Start(GetParam());

    ASSERT_EQ(window.Statuses.back(), Finished);
    const std::vector<std::filesystem::path> folders = {tree.Path("site/a"), tree.Path("site/b"),
                                                        tree.Path("site/c")};
    EXPECT_EQ(FlushedFolders(), folders);
    EXPECT_EQ(ops->Calls(FileOpKind::Fsync), 12 + 3); // one per page, one per folder
    // a folder is flushed after its own renames and before the next folder's
    std::vector<std::filesystem::path> order;
    for (const auto& [kind, path] : ops->Log()) {
        if (kind == FileOpKind::Rename)
            order.push_back(path.parent_path());
        else if (kind == FileOpKind::Open && std::filesystem::is_directory(path))
            order.push_back("flushed " + path.native());
    }
    std::vector<std::filesystem::path> expected;
    for (const auto& folder : folders) {
        expected.insert(expected.end(), 4, folder);
        expected.push_back("flushed " + folder.native());
    }
    EXPECT_EQ(order, expected);
}

TEST_P(FolderFlushTest, AFolderThatCannotBeFlushedAtTheEndFailsTheRun) {
    ops->FailNth(FileOpKind::Fsync, 12 + 3, EIO); // the last folder's, after every page's

    Start(GetParam());

    ASSERT_EQ(window.Messages.size(), 1u);
    EXPECT_EQ(window.Messages[0].text, OsError(EIO, tree.Path("site/c")).what());
    EXPECT_NE(window.Statuses.back(), Finished);
    EXPECT_EQ(ReadPage("c/p3.htm"), Compacted(Original, WindowOptions()));
    EXPECT_EQ(observer.done.size(), 12u);
}

TEST_P(FolderFlushTest, AFailingPageStillHasTheFoldersBeforeItFlushed) {
    ops->FailOnPath(FileOpKind::Rename, PagePath("b/p1.htm"), EIO);

    Start(GetParam());

    ASSERT_EQ(window.Messages.size(), 1u);
    EXPECT_EQ(FlushedFolders(),
              (std::vector<std::filesystem::path>{tree.Path("site/a"), tree.Path("site/b")}));
    EXPECT_EQ(ReadPage("b/p0.htm"), Compacted(Original, WindowOptions()));
    EXPECT_EQ(ReadPage("b/p1.htm"), Original);
}

INSTANTIATE_TEST_SUITE_P(BothRuns, FolderFlushTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Window" : "CommandLine";
                         });

} // namespace
} // namespace velnor::test
