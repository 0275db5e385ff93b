#include "tests/ui/form/scripted_view.h"
#include "ui/form/folder_listing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace velnor::test {
namespace {

using FolderListingPosixTest = FormFixture;

// "lnk/.." is the folder around lnk's target; a link is never listed, and names
// alike but for case come in the order of their bytes.
TEST_F(FolderListingPosixTest, LinksAreResolvedAsTheSystemDoesAndNeverListed) {
    for (const char* folder : {"real/sub", "site/b", "site/B"})
        tree.MakeFolder(folder);
    tree.MakeLink("lnk", tree.Path("real/sub"));
    tree.MakeLink("site/a-link", tree.Path("real"));
    const std::filesystem::path root = std::filesystem::canonical(tree.Root());
    EXPECT_EQ(form::ListFolder(*MakeFileSystem(), tree.Path("lnk/..")).path, root / "real");
    const form::FolderListing site = form::ListFolder(*MakeFileSystem(), tree.Path("site"));
    ASSERT_EQ(site.lines.size(), site.open + 3);
    EXPECT_EQ(site.lines[site.open + 1].name + site.lines[site.open + 2].name, "Bb");
}

// Names are bytes here: a folder named in GBK is stored as it is named.
TEST_F(FolderListingPosixTest, AFolderNamedInGbkIsRememberedByteForByte) {
    const std::filesystem::path folder =
        std::filesystem::canonical(tree.Root()) / "\xCD\xF8\xD5\xBE";
    std::filesystem::create_directory(folder);
    Remembered() = folder.native();
    Load();
    EXPECT_EQ(form->Dir1().lines[form->Dir1().open].name, "网站");
    form->Form_Unload();
    EXPECT_EQ(Remembered(), folder.native());
}

} // namespace
} // namespace velnor::test
