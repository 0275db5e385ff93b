#include "ui/form/folder_listing.h"

#include "core/text/display_path.h"
#include "tests/support/system_words.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

namespace velnor::test {
namespace {

class FolderListingTest : public ::testing::Test {
protected:
    FolderListingTest() {
        for (const char* folder : {"site/news", "site/Images", "site/css/print", "site/.well-known",
                                   "site/éa", "site/Éb"})
            tree.MakeFolder(folder);
        tree.WriteFile("site/index.htm", "page");
    }

    form::FolderListing List(const std::filesystem::path& path) {
        return form::ListFolder(*fileSys, path);
    }
    // Each line from the given depth on: that much less indent in blanks, and its name.
    static std::vector<std::string> Lines(const form::FolderListing& listing, int from) {
        std::vector<std::string> lines;
        for (const form::FolderLine& line : listing.lines)
            if (line.depth >= from)
                lines.push_back(std::string(line.depth - from, ' ') + line.name);
        return lines;
    }

    TempTree tree;
    std::shared_ptr<FileSystemService> fileSys = MakeFileSystem();
};

// Folders only, hidden ones left out, by name with every letter lower-cased.
TEST_F(FolderListingTest, ShowsTheFoldersAboveAndTheSubfoldersBelowInOrder) {
    const std::filesystem::path root = std::filesystem::canonical(tree.Root());
    const form::FolderListing listing = List(tree.Path("site"));
    const auto depth = static_cast<int>(std::distance(root.begin(), root.end()));
    EXPECT_EQ(Lines(listing, depth - 1),
              (std::vector<std::string>{DisplayPath(root.filename()), " site", "  css", "  Images",
                                        "  news", "  éa", "  Éb"}));
    EXPECT_EQ(listing.lines.front().name, DisplayPath(root.root_path()));
    EXPECT_EQ(listing.lines.front().depth, 0);
    EXPECT_EQ(listing.path, root / "site");
    EXPECT_EQ(listing.lines[listing.open].folder, listing.path);
    EXPECT_EQ(listing.lines.back().folder, root / "site" / "Éb");
}

// A folder that cannot be opened is an error naming it as given.
TEST_F(FolderListingTest, OpensAsResolvedWithoutATrailingSeparatorOrNotAtAll) {
    const std::filesystem::path site = std::filesystem::canonical(tree.Path("site"));
    const std::string noSuchFile = ": " + SystemWords(Fault::NoSuchFile);
    struct Case {
        std::filesystem::path given;
        std::filesystem::path shown; // none when it cannot be opened
        std::string error;
    };
    const Case cases[] = {
        {tree.Path("site") += std::filesystem::path::preferred_separator, site, ""},
        {tree.Path("site") / "." / "..", site.parent_path(), ""},
        {tree.Path("site/.well-known"), site / ".well-known", ""}, // hidden, yet it opens
        {"", {}, noSuchFile},
        {tree.Path("gone"), {}, DisplayPath(tree.Path("gone")) + noSuchFile},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(DisplayPath(c.given));
        try {
            EXPECT_EQ(List(c.given).path, c.shown);
            EXPECT_EQ(c.error, "");
        } catch (const FileSystemError& error) {
            EXPECT_EQ(error.what(), c.error);
        }
    }
}

} // namespace
} // namespace velnor::test
