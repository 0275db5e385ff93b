#include "run/os_error.h"
#include "run/page_writer.h"
#include "tests/support/failing_file_ops.h"
#include "tests/support/temp_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velnor::test {
namespace {

using ::testing::ElementsAreArray;

// Pages p00.htm... in one folder, of very different sizes, so that later
// pages are often ready before earlier ones.
class PageWriterTest : public ::testing::Test {
protected:
    static constexpr int Pages = 12;

    PageWriterTest() {
        for (int i = 0; i < Pages; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "p%02d.htm", i);
            names.push_back(name);
            paths.push_back(tree.Path(name));
            olds.push_back("old " + std::string(i % 3 == 0 ? 1 << 20 : 10, 'o'));
            news.push_back("new " + std::to_string(i) + std::string(i % 4 == 0 ? 2 << 20 : 5, 'n'));
        }
        WriteOld();
    }

    void WriteOld() const {
        for (int i = 0; i < Pages; ++i)
            tree.WriteFile(names[i], olds[i]);
    }

    // Writes every page, its done recorded in committed; the error, if any.
    std::optional<std::string> WriteAll(PageWriter& writer) {
        try {
            for (int i = 0; i < Pages; ++i)
                writer.Write(paths[i], news[i], [this, i] { committed.push_back(i); });
            writer.CommitAll();
        } catch (const FileSystemError& error) {
            return error.what();
        }
        return std::nullopt;
    }

    // The first `done` pages hold their new content, the others their old,
    // and nothing else is in the folder.
    void ExpectFirstPagesNew(int done) const {
        for (int i = 0; i < Pages; ++i)
            EXPECT_EQ(tree.ReadFile(names[i]), i < done ? news[i] : olds[i]) << names[i];
        EXPECT_THAT(tree.Entries(), ElementsAreArray(names));
    }

    std::vector<int> FirstPages(int count) const {
        std::vector<int> first;
        for (int i = 0; i < count; ++i)
            first.push_back(i);
        return first;
    }

    TempTree tree;
    std::shared_ptr<FailingFileOps> ops = std::make_shared<FailingFileOps>();
    std::shared_ptr<FileSystemService> fileSys = ops->Factory()();
    std::vector<std::string> names;
    std::vector<std::filesystem::path> paths;
    std::vector<std::string> olds;
    std::vector<std::string> news;
    std::vector<int> committed;
};

TEST_F(PageWriterTest, PagesGoInPlaceInTheirOrderWhicheverIsReadyFirst) {
    {
        PageWriter writer(*fileSys, PageWriter::Limits{.workers = 4, .pages = 6});
        EXPECT_EQ(WriteAll(writer), std::nullopt);
    }
    ExpectFirstPagesNew(Pages);
    EXPECT_EQ(committed, FirstPages(Pages));
    EXPECT_EQ(ops->CallPaths(FileOpKind::Rename), paths);
    EXPECT_EQ(ops->OpenDescriptors(), 0u);
}

TEST_F(PageWriterTest, AQueueFullOfBytesStillMovesOnePageAtATime) {
    {
        PageWriter writer(*fileSys, PageWriter::Limits{.workers = 2, .pages = 8, .bytes = 1});
        EXPECT_EQ(WriteAll(writer), std::nullopt);
    }
    ExpectFirstPagesNew(Pages);
    EXPECT_EQ(committed, FirstPages(Pages));
}

// Whichever page's write fails, the pages before it are in place and it and
// the later ones are as they were, with nothing left beside them.
TEST_F(PageWriterTest, AFailedWriteEndsTheWritingAtThatPage) {
    for (int nth = 1; nth <= Pages; ++nth) {
        WriteOld();
        committed.clear();
        ops->Heal();
        ops->FailNth(FileOpKind::Write, nth, ENOSPC);
        std::optional<std::string> error;
        {
            PageWriter writer(*fileSys, PageWriter::Limits{.workers = 4, .pages = 6});
            error = WriteAll(writer);
        }
        ASSERT_TRUE(error) << nth;
        // the workers take the pages in turn, but finish in any order
        int failed = 0;
        while (failed < Pages && *error != OsError(ENOSPC, paths[failed]).what())
            ++failed;
        ASSERT_LT(failed, Pages) << *error;
        ExpectFirstPagesNew(failed);
        EXPECT_EQ(committed, FirstPages(failed)) << nth;
        EXPECT_EQ(ops->OpenDescriptors(), 0u) << nth;
    }
}

TEST_F(PageWriterTest, AFailedRenameLeavesThatPageAndTheLaterOnesAsTheyWere) {
    ops->FailOnPath(FileOpKind::Rename, paths[5], EXDEV);
    {
        PageWriter writer(*fileSys, PageWriter::Limits{.workers = 3, .pages = 6});
        EXPECT_EQ(WriteAll(writer), OsError(EXDEV, paths[5]).what());
    }
    ExpectFirstPagesNew(5);
    EXPECT_EQ(committed, FirstPages(5));
    EXPECT_EQ(ops->OpenDescriptors(), 0u);
}

TEST_F(PageWriterTest, AReadOnlyPageIsRefusedBeforeAnythingIsWrittenForIt) {
    ASSERT_EQ(chmod(paths[2].c_str(), 0444), 0);
    PageWriter writer(*fileSys, PageWriter::Limits{});
    writer.Write(paths[0], news[0], [] {});
    writer.Write(paths[1], news[1], [] {});
    const int started = ops->Calls(FileOpKind::OpenUnnamed);

    EXPECT_THROW(writer.Write(paths[2], news[2], [] {}), FileSystemError);

    EXPECT_EQ(ops->Calls(FileOpKind::OpenUnnamed), started);
    // the pages before it are still queued and go in place
    writer.CommitAll();
    EXPECT_EQ(tree.ReadFile(names[1]), news[1]);
    EXPECT_EQ(tree.ReadFile(names[2]), olds[2]);
}

TEST_F(PageWriterTest, AWriterDroppedPartWayLeavesEveryPageWholeAndNothingBeside) {
    {
        PageWriter writer(*fileSys, PageWriter::Limits{.workers = 4, .pages = 6});
        for (int i = 0; i < Pages; ++i)
            writer.Write(paths[i], news[i], [this, i] { committed.push_back(i); });
    }
    const int done = static_cast<int>(committed.size());
    EXPECT_GE(done, Pages - 6); // only a full queue is waited for
    ExpectFirstPagesNew(done);
    EXPECT_EQ(ops->OpenDescriptors(), 0u);
}

TEST_F(PageWriterTest, APageKeepsItsPermissionsAndTheOldContentOpenElsewhereStaysReadable) {
    ASSERT_EQ(chmod(paths[0].c_str(), 0640), 0);
    std::FILE* reader = std::fopen(paths[0].c_str(), "rb");
    ASSERT_NE(reader, nullptr);
    {
        PageWriter writer(*fileSys, PageWriter::Limits{});
        writer.Write(paths[0], news[0], [] {});
        writer.CommitAll();
    }
    std::string seen(olds[0].size(), '\0');
    EXPECT_EQ(std::fread(seen.data(), 1, seen.size(), reader), seen.size());
    std::fclose(reader);
    EXPECT_EQ(seen, olds[0]);
    struct stat info {};
    ASSERT_EQ(stat(paths[0].c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(tree.ReadFile(names[0]), news[0]);
}

} // namespace
} // namespace velnor::test
