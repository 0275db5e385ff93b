#include "ui/form/folder_listing.h"

#include "core/text/display_path.h"
#include "core/text/path_text.h"
#include "tests/support/system_words.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace velnor::test {
namespace {

class FolderListingTest : public ::testing::Test {
protected:
    form::FolderListing List(const std::filesystem::path& path) {
        return form::ListFolder(*MakeFileSystem(), path);
    }
    TempTree tree;
    const std::filesystem::path site = tree.Path("site");
};

// Folders only, hidden ones left out, by name with every letter lower-cased.
TEST_F(FolderListingTest, ShowsTheFoldersAboveAndTheSubfoldersBelowInOrder) {
    for (const char* folder :
         {"site/news", "site/Images", "site/css/print", "site/.git", "site/éa", "site/Éb"})
        tree.MakeFolder(folder);
    tree.WriteFile("site/index.htm", "page");
    const std::filesystem::path root = std::filesystem::canonical(tree.Root());
    const form::FolderListing listing = List(site);
    // From the tree's root down: each line indented by its depth below that, and its name.
    const int from = listing.lines[listing.open].depth - 1;
    std::vector<std::string> lines;
    for (const form::FolderLine& line : listing.lines)
        if (line.depth >= from)
            lines.push_back(std::string(line.depth - from, ' ') + line.name);
    EXPECT_EQ(lines, (std::vector<std::string>{DisplayPath(root.filename()), " site", "  css",
                                               "  Images", "  news", "  éa", "  Éb"}));
    EXPECT_EQ(listing.lines.front().name, DisplayPath(root.root_path()));
    EXPECT_EQ(listing.lines.front().depth, 0);
    EXPECT_EQ(listing.lines[listing.open].folder, root / "site");
    EXPECT_EQ(listing.lines.back().folder, root / "site" / PathFromUtf8("Éb"));
}

// A folder that cannot be opened is an error naming it as given.
TEST_F(FolderListingTest, OpensAsResolvedWithoutATrailingSeparatorOrNotAtAll) {
    tree.MakeFolder("site/.git");
    const std::filesystem::path real = std::filesystem::canonical(site);
    const std::string noSuchFile = ": " + SystemWords(Fault::NoSuchFile);
    const std::tuple<std::filesystem::path, std::filesystem::path, std::string> cases[] = {
        {std::filesystem::path(site) += std::filesystem::path::preferred_separator, real, ""},
        {site / "." / "..", real.parent_path(), ""},
        {site / ".git", real / ".git", ""}, // hidden, yet it opens
        {"", {}, noSuchFile},
        {tree.Path("站点"), {}, DisplayPath(tree.Path("站点")) + noSuchFile},
    };
    for (const auto& [given, shown, error] : cases) {
        SCOPED_TRACE(DisplayPath(given));
        try {
            EXPECT_EQ(List(given).path, shown);
            EXPECT_EQ(error, "");
        } catch (const FileSystemError& failure) {
            EXPECT_EQ(failure.what(), error);
        }
    }
}

} // namespace
} // namespace velnor::test
