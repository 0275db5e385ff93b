#include "tests/core/run/run_fixture.h"

#include <algorithm>
#include <filesystem>
#include <optional>

namespace velnor::test {
namespace {

constexpr const char* Original = "<p>one  two</p>\r\n  <p>three</p>";
constexpr RunSettings CommandLine{false, false}; // pages written while the next are read

// A failure of one page's service calls; none: the page is read-only.
struct PageFailure {
    const char* name;
    std::optional<ServiceCall> call;
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
            failures = std::make_shared<ServiceFailures>();
            if (!failure.call) // on Windows: the read-only attribute
                std::filesystem::permissions(page, std::filesystem::perms::owner_write,
                                             std::filesystem::perm_options::remove);
            else
                failures->FailOn(*failure.call, page);
            const auto before = std::filesystem::status(page).permissions();
            window.Messages.clear();
            Start(run);

            ExpectOneCriticalBox(
                failure.call ? ::testing::Eq(ServiceFailures::ErrorText(page, "injected failure"))
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

INSTANTIATE_TEST_SUITE_P(Calls, PageFailureTest,
                         ::testing::Values(PageFailure{"ReadOnly", std::nullopt},
                                           PageFailure{"Unreadable", ServiceCall::ReadWholeFile},
                                           PageFailure{"Refused", ServiceCall::StartReplace},
                                           PageFailure{"NotWritten", ServiceCall::Prepare},
                                           PageFailure{"NotPutInPlace", ServiceCall::Commit}),
                         [](const auto& info) { return std::string(info.param.name); });

using RunFailureTest = RunFixture;

TEST_F(RunFailureTest, AFolderThatCannotBeListedEndsTheRunBeforeAnyPage) {
    WritePage("a.htm", Original);
    WritePage("sub/d.htm", Original);
    failures->FailOn(ServiceCall::GetFolder, tree.Path("site/sub"));
    Start();
    ExpectOneCriticalBox(::testing::StartsWith(DisplayPath(tree.Path("site/sub"))));
    EXPECT_EQ(ReadPage("a.htm"), Original);
    EXPECT_TRUE(Worked().empty());
}

TEST_F(RunFailureTest, APageTooLargeForItsLengthIsRefusedUnread) {
    WritePage("a.htm", Original);
    WritePage("b.htm", "");
    std::filesystem::resize_file(PagePath("b.htm"), std::uintmax_t{1} << 31);
    Start();
    ExpectOneCriticalBox(DisplayPath(PagePath("b.htm")) + ": page is larger than 2147483647 bytes");
    const auto read = failures->CallPaths(ServiceCall::ReadWholeFile);
    EXPECT_EQ(std::count(read.begin(), read.end(), PagePath("b.htm")), 0);
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

} // namespace
} // namespace velnor::test
