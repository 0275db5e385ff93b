#include "core/run/page_writer.h"
#include "tests/support/failing_file_system.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

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
            const std::shared_ptr<FolderHandle> folder =
                failures->Factory()()->OpenFolder(tree.Root());
            PageReplacer replacer;
            PageWriter writer(limits);
            for (int i = 0; i < Pages; ++i) {
                const EntryName name = std::filesystem::path(Name(i)).native();
                const FileStamp read = ReadPage(*folder, name, 1 << 30).stamp;
                writer.Write(replacer.Start(folder, name, read, New(i)), New(i).size(),
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
    }

    static std::string Name(int i) { return "p" + std::to_string(100 + i) + ".htm"; }
    static std::string Old(int i) { return "old " + std::string(i % 3 == 0 ? 1 << 20 : 10, 'o'); }
    static std::string New(int i) { return "new " + std::string(i % 4 == 0 ? 2 << 20 : 5, 'n'); }

    TempTree tree;
    std::shared_ptr<FileSystemFailures> failures = std::make_shared<FileSystemFailures>();
    std::vector<int> committed;
};

TEST_F(PageWriterTest, PagesGoInPlaceInTheirOrderUpToAFailedWrite) {
    for (int nth = 1; nth <= Pages + 1; ++nth) {
        failures->Heal();
        if (nth <= Pages)
            failures->FailNth(FileCall::WriteFile, nth, "disk full");
        // a queue of a few pages, or one held by the bytes to one page at a time
        const std::optional<std::string> error =
            WriteAll(nth % 2 ? PageWriter::Limits{.workers = 4, .pages = 6}
                             : PageWriter::Limits{.workers = 2, .bytes = 1});
        // the workers take the pages in turn, but finish in any order
        int failed = 0;
        while (failed < Pages &&
               error != FileSystemFailures::ErrorText(tree.Path(Name(failed)), "disk full"))
            ++failed;
        ASSERT_EQ(failed == Pages, nth > Pages) << error.value_or("");
        ExpectFirstPagesNew(failed);
    }
}

} // namespace
} // namespace velnor::test
