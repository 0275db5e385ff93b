#include "run/display_path.h"
#include "run/os_error.h"
#include "run/run_driver.h"
#include "tests/run/run_fixture.h"
#include "tests/support/failing_file_ops.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace velnor::test {
namespace {

using Entries = std::vector<std::string>;

const std::string Finished = "已经完成任务.";

// Three pages worked in the order a, b, c; b is the one things happen to.
class RunFailureTest : public RunFixture {
protected:
    RunFailureTest() {
        for (const char* name : {"a.htm", "b.htm", "c.htm"})
            WritePage(name, Original);
    }

    void Start() {
        driver = std::make_unique<RunDriver>(window, ops->Factory(), RunSettings{}, &observer);
        driver->Start();
    }

    void ExpectOneCriticalBox(const std::string& text) const {
        ASSERT_EQ(window.Messages.size(), 1u);
        const MessageBoxRequest& box = window.Messages[0];
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.title, "Velnor");
        EXPECT_EQ(box.buttons, MessageButtons::Ok);
        EXPECT_EQ(box.icon, MessageIcon::Critical);
    }

    // Pages before b rewritten, b and those after as they were, nothing else there.
    void ExpectRunEndedAtB() const {
        EXPECT_EQ(ReadPage("a.htm"), Compacted(Original, WindowOptions()));
        EXPECT_EQ(ReadPage("b.htm"), Original);
        EXPECT_EQ(ReadPage("c.htm"), Original);
        EXPECT_EQ(tree.Entries("site"), (Entries{"a.htm", "b.htm", "c.htm"}));
        EXPECT_NE(window.Statuses.back(), Finished);
        EXPECT_FALSE(driver->Running());
    }

    static constexpr const char* Original = "<p>one  two</p>\r\n  <p>three</p>";
    // Runs a callback once page a is done, to set up a failure meant for b.
    struct AfterFirstPage : RunObserver {
        void PageDone(const std::filesystem::path&, std::uint64_t, std::uint64_t) override {
            if (then)
                std::exchange(then, nullptr)();
        }
        std::function<void()> then;
    };

    std::shared_ptr<FailingFileOps> ops = std::make_shared<FailingFileOps>();
    AfterFirstPage observer;
    std::unique_ptr<RunDriver> driver;
};

TEST_F(RunFailureTest, AReadOnlyPageEndsTheRunBeforeItIsTouched) {
    ASSERT_EQ(chmod(PagePath("b.htm").c_str(), 0444), 0);
    Start();
    ExpectOneCriticalBox(OsError(EACCES, PagePath("b.htm")).what());
    ExpectRunEndedAtB();
    struct stat info {};
    ASSERT_EQ(stat(PagePath("b.htm").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);
    EXPECT_EQ(window.Statuses.back(), "正在工作: " + DisplayPath(PagePath("b.htm")));
}

TEST_F(RunFailureTest, APageThatCannotBeReadEndsTheRun) {
    ops->FailOnPath(FileOpKind::Open, PagePath("b.htm"), EIO);
    Start();
    ExpectOneCriticalBox(OsError(EIO, PagePath("b.htm")).what());
    ExpectRunEndedAtB();
}

TEST_F(RunFailureTest, AFolderThatCannotBeListedEndsTheRunBeforeAnyPage) {
    WritePage("sub/d.htm", Original);
    ops->FailOnPath(FileOpKind::ListFolder, tree.Path("site/sub/"), EACCES);
    Start();
    ExpectOneCriticalBox(OsError(EACCES, tree.Path("site/sub/")).what());
    for (const char* name : {"a.htm", "b.htm", "c.htm", "sub/d.htm"})
        EXPECT_EQ(ReadPage(name), Original) << name;
    EXPECT_TRUE(window.Statuses.empty());
}

struct WriteFailure {
    FileOpKind kind;
    int error;
};

class PageWriteFailureTest : public RunFailureTest,
                             public ::testing::WithParamInterface<WriteFailure> {};

TEST_P(PageWriteFailureTest, LeavesThePageAsItWasAndNoTemporaryFile) {
    const WriteFailure failure = GetParam();
    observer.then = [&] {
        ops->FailNth(failure.kind, 1, failure.error);
    };
    Start();
    ASSERT_EQ(ops->Failures(), 1);
    ASSERT_EQ(window.Messages.size(), 1u);
    EXPECT_EQ(window.Messages[0].icon, MessageIcon::Critical);
    const std::string words = std::strerror(failure.error);
    const std::string& text = window.Messages[0].text;
    EXPECT_EQ(text.substr(text.size() - words.size()), words);
    ExpectRunEndedAtB();
}

// The first call of each kind made for page b.
INSTANTIATE_TEST_SUITE_P(Calls, PageWriteFailureTest,
                         ::testing::Values(WriteFailure{FileOpKind::Write, ENOSPC},
                                           WriteFailure{FileOpKind::Write, EIO},
                                           WriteFailure{FileOpKind::Fsync, EIO},
                                           WriteFailure{FileOpKind::Fchmod, EPERM},
                                           WriteFailure{FileOpKind::Rename, EXDEV}));

TEST_F(RunFailureTest, APageTooLargeForItsLengthIsRefusedUnread) {
    std::filesystem::resize_file(PagePath("b.htm"), std::uintmax_t{1} << 31);
    Start();
    ExpectOneCriticalBox(DisplayPath(PagePath("b.htm")) + ": page is larger than 2147483647 bytes");
    const auto& opened = ops->CallPaths(FileOpKind::Open);
    EXPECT_EQ(std::count(opened.begin(), opened.end(), PagePath("b.htm")), 0);
    EXPECT_EQ(std::filesystem::file_size(PagePath("b.htm")), std::uintmax_t{1} << 31);
    EXPECT_EQ(ReadPage("c.htm"), Original);
}

TEST_F(RunFailureTest, AClosedWindowLeavesEveryPageWholeAndNoTemporaryFile) {
    const std::vector<std::string> names = {"a.htm", "b.htm", "c.htm"};
    const std::string compacted = Compacted(Original, WindowOptions());
    // 3 yields of the search, then one per step of each page
    const std::size_t steps = std::string(Original).size() - 1;
    const std::size_t yields = 3 + 3 * steps;
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> pick(1, yields);
    std::vector<std::size_t> abandonAt = {1, 3, 4, 3 + steps, 4 + steps, yields};
    for (int i = 0; i < 20; ++i)
        abandonAt.push_back(pick(random));

    for (const std::size_t at : abandonAt) {
        for (const auto& name : names)
            WritePage(name, Original);
        window.Yields = 0;
        window.Messages.clear();
        window.AbandonAtYield(at);
        driver = std::make_unique<RunDriver>(window, ops->Factory());
        EXPECT_THROW(driver->Start(), RunAbandoned) << at;
        EXPECT_FALSE(driver->Running()) << at;
        EXPECT_TRUE(window.Messages.empty()) << at;
        // the pages whose last step came before the close are rewritten, no other
        const std::size_t done = at <= 3 ? 0 : (at - 4) / steps;
        for (std::size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ(ReadPage(names[i]), i < done ? compacted : Original) << at << names[i];
        EXPECT_EQ(tree.Entries("site"), (Entries{"a.htm", "b.htm", "c.htm"})) << at;
    }
}

} // namespace
} // namespace velnor::test
