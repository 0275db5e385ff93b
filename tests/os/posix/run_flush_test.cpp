#include "core/filter/compact_text.h"
#include "core/run/run_driver.h"
#include "core/text/ansi_codec.h"
#include "os/posix/os_error.h"
#include "tests/support/failing_file_ops.h"
#include "tests/support/scripted_window.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

namespace velnor::test {
namespace {

using Entries = std::vector<std::string>;

constexpr const char* Original = "<p>one  two</p>\r\n  <p>three</p>";

// A run over three folders of four pages, on calls that a test can make fail:
// the folder entries of the renames are flushed once per folder.
class FolderFlushTest : public ::testing::TestWithParam<bool> {
protected:
    FolderFlushTest() {
        for (const char* folder : {"a", "b", "c"})
            for (const char* page : {"/p0.htm", "/p1.htm", "/p2.htm", "/p3.htm"})
                tree.WriteFile("site/" + std::string(folder) + page, Original);
        window.Folder = tree.Path("site");
    }

    void Start() { RunDriver(window, ops->Factory(), RunSettings{GetParam(), false}).Start(); }

    // Renames by their folder, and folder flushes (the only folders opened).
    Entries RenamesAndFlushes() const {
        Entries calls;
        for (const auto& [kind, path] : ops->Log()) {
            if (kind == FileOpKind::Rename)
                calls.push_back(path.parent_path().filename());
            else if (kind == FileOpKind::Open && std::filesystem::is_directory(path))
                calls.push_back("flush " + path.filename().native());
        }
        return calls;
    }
    std::string LastMessage() const {
        return window.Messages.empty() ? "" : window.Messages.back().text;
    }

    TempTree tree;
    ScriptedWindow window;
    std::shared_ptr<FailingFileOps> ops = std::make_shared<FailingFileOps>();
};

TEST_P(FolderFlushTest, EachFolderIsFlushedOnceAfterItsLastPage) {
    Start();
    ASSERT_EQ(LastMessage(), "");
    EXPECT_EQ(RenamesAndFlushes(), (Entries{"a", "a", "a", "a", "flush a", "b", "b", "b", "b",
                                            "flush b", "c", "c", "c", "c", "flush c"}));
    EXPECT_EQ(ops->Calls(FileOpKind::Fsync), 12 + 3);
}

TEST_P(FolderFlushTest, AFailedRunStillFlushesWhatItRenamedAndAFailedLastFlushIsReported) {
    ops->FailOnPath(FileOpKind::Rename, tree.Path("site/b/p1.htm"), EIO);
    Start();
    EXPECT_EQ(LastMessage(), OsError(EIO, tree.Path("site/b/p1.htm")).what());
    // b/p1.htm's rename is tried, and fails
    EXPECT_EQ(RenamesAndFlushes(), (Entries{"a", "a", "a", "a", "flush a", "b", "b", "flush b"}));
    EXPECT_EQ(ops->OpenDescriptors(), 0u);

    ops = std::make_shared<FailingFileOps>();
    ops->FailNth(FileOpKind::Fsync, 12 + 3, EIO); // the last folder's, after every page's
    Start();
    EXPECT_EQ(LastMessage(), OsError(EIO, tree.Path("site/c")).what());
    EXPECT_EQ(ops->OpenDescriptors(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Runs, FolderFlushTest, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "Window" : "CommandLine");
});

} // namespace
} // namespace velnor::test
