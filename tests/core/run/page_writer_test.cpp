#include "core/run/page_writer.h"
#include "os/posix/os_error.h"
#include "tests/support/failing_file_ops.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

namespace velnor::test {
namespace {

constexpr int Pages = 12;

// Pages p100.htm... in one folder, of very different sizes, so that later
// pages are often ready before earlier ones.
class PageWriterTest : public ::testing::Test {
protected:
    // Writes every page afresh; the error, if any.
    std::optional<std::string> WriteAll(PageWriter::Limits limits) {
        for (int i = 0; i < Pages; ++i)
            tree.WriteFile(Name(i), Old(i));
        committed.clear();
        try {
            PageWriter writer(*fileSys, limits);
            for (int i = 0; i < Pages; ++i) {
                const std::filesystem::path page = tree.Path(Name(i));
                writer.Write(page, fileSys->ReadPage(page, 1 << 30).stamp, New(i),
                             [this, i] { committed.push_back(i); });
            }
            writer.CommitAll();
        } catch (const FileSystemError& error) {
            return error.what();
        }
        return std::nullopt;
    }

    // The first `done` pages were put in place in their order, the others are
    // as they were, and nothing else is in the folder or left open.
    void ExpectFirstPagesNew(int done) const {
        std::vector<int> first(done);
        std::iota(first.begin(), first.end(), 0);
        EXPECT_EQ(committed, first);
        std::vector<std::string> names;
        for (int i = 0; i < Pages; ++i) {
            names.push_back(Name(i));
            EXPECT_EQ(tree.ReadFile(Name(i)), i < done ? New(i) : Old(i)) << i;
        }
        EXPECT_EQ(tree.Entries(), names);
        EXPECT_EQ(ops->OpenDescriptors(), 0u);
    }

    static std::string Name(int i) { return "p" + std::to_string(100 + i) + ".htm"; }
    static std::string Old(int i) { return "old " + std::string(i % 3 == 0 ? 1 << 20 : 10, 'o'); }
    static std::string New(int i) { return "new " + std::string(i % 4 == 0 ? 2 << 20 : 5, 'n'); }

    TempTree tree;
    std::shared_ptr<FailingFileOps> ops = std::make_shared<FailingFileOps>();
    std::shared_ptr<FileSystemService> fileSys = ops->Factory()();
    std::vector<int> committed;
};

// Whichever page's write fails, the pages before it are in place and it and
// the later ones are as they were, with nothing left beside them; with none
// failing, every page is in place, renamed in page order.
TEST_F(PageWriterTest, PagesGoInPlaceInTheirOrderUpToAFailedWriteOrRename) {
    ASSERT_EQ(WriteAll(PageWriter::Limits{}), std::nullopt);
    ASSERT_EQ(chmod(tree.Path(Name(0)).c_str(), 0640), 0); // kept through every round
    for (int nth = 1; nth <= Pages + 1; ++nth) {
        ops->Heal();
        if (nth <= Pages)
            ops->FailNth(FileOpKind::Write, nth, ENOSPC);
        // a queue of a few pages, or one held by the bytes to one page at a time
        const std::optional<std::string> error =
            WriteAll(nth % 2 ? PageWriter::Limits{.workers = 4, .pages = 6}
                             : PageWriter::Limits{.workers = 2, .bytes = 1});
        // the workers take the pages in turn, but finish in any order
        int failed = 0;
        while (failed < Pages && error != OsError(ENOSPC, tree.Path(Name(failed))).what())
            ++failed;
        ASSERT_EQ(failed == Pages, nth > Pages) << error.value_or("");
        ExpectFirstPagesNew(failed);
    }
    const auto renamed = ops->CallPaths(FileOpKind::Rename);
    for (int i = 0; i < Pages; ++i)
        EXPECT_EQ(renamed.end()[i - Pages], tree.Path(Name(i)));
    struct stat info {};
    ASSERT_EQ(stat(tree.Path(Name(0)).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    ops->Heal();
    ops->FailOnPath(FileOpKind::Rename, tree.Path(Name(5)), EXDEV);
    EXPECT_EQ(WriteAll(PageWriter::Limits{.workers = 3}),
              OsError(EXDEV, tree.Path(Name(5))).what());
    ExpectFirstPagesNew(5);
}

} // namespace
} // namespace velnor::test
