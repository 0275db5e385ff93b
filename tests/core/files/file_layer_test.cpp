#include "core/files/page_replace.h"
#include "core/files/temp_name.h"
#include "core/files/tree_copy.h"
#include "core/files/tree_walk.h"
#include "core/text/display_path.h"
#include "tests/support/error_of.h"
#include "tests/support/failing_file_system.h"
#include "tests/support/system_names.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace velnor::test {
namespace {

using Names = std::vector<std::string>;

EntryName NameOf(const std::filesystem::path& path) {
    return path.filename().native();
}

// What every system's file layer does alike, through the system's own layer.
class FileLayerTest : public ::testing::Test {
protected:
    std::shared_ptr<FolderHandle> Open(std::string_view folder) {
        return fs->OpenFolder(tree.Path(folder));
    }
    PageBytes Read(std::string_view page, std::uint64_t maxBytes = 1 << 20) {
        const std::filesystem::path path = tree.Path(page);
        return ReadPage(*fs->OpenFolder(path.parent_path()), NameOf(path), maxBytes);
    }

    TempTree tree;
    std::shared_ptr<FileSystemService> fs = MakeFileSystem();
    PageReplacer replacer;
};

TEST_F(FileLayerTest, ReadPageTakesOnlyAnOrdinaryFileWithinItsSize) {
    tree.WriteFile("page.htm", "1234");
    tree.MakeFolder("folder.htm");
    const std::pair<std::string, std::string> refused[] = {
        {"folder.htm", DisplayPath(tree.Path("folder.htm")) + ": "},
        {"page.htm", DisplayPath(tree.Path("page.htm")) + ": page is larger than 3 bytes"},
    };
    for (const auto& [name, error] : refused)
        EXPECT_TRUE(ErrorOf([&] { Read(name, 3); }).starts_with(error)) << name;
    EXPECT_EQ(Read("page.htm", 4).bytes, "1234");
}

// Another writer between the read and the replace, or between the new
// content's flush and its rename: the page stays as that writer left it.
TEST_F(FileLayerTest, APageChangedOrGoneSinceItWasReadIsLeftAsTheOtherWriterLeftIt) {
    // what the other writer does, and the page's content afterwards ("" for none)
    std::vector<std::tuple<const char*, std::function<void(const TempTree&)>, const char*>>
        changes = {
            {"appended", [](const TempTree& t) { t.WriteFile("page.htm", "old + more"); },
             "old + more"},
            {"renamed over",
             [](const TempTree& t) {
                 t.WriteFile("other", "old");
                 std::filesystem::rename(t.Path("other"), t.Path("page.htm"));
             },
             "old"},
            {"touched",
             [](const TempTree& t) { std::filesystem::last_write_time(t.Path("page.htm"), {}); },
             "old"},
            {"deleted", [](const TempTree& t) { std::filesystem::remove(t.Path("page.htm")); }, ""},
        };
    if (NamesAreBytes) // permission bits that a replacement would put back
        changes.emplace_back(
            "made private",
            [](const TempTree& t) {
                std::filesystem::permissions(t.Path("page.htm"), std::filesystem::perms::others_all,
                                             std::filesystem::perm_options::remove);
            },
            "old");
    const std::filesystem::path page = tree.Path("page.htm");
    for (const auto& [what, make, after] : changes) {
        for (const bool lastMoment : {false, true}) {
            SCOPED_TRACE(std::string(what) + (lastMoment ? " before the rename" : ""));
            std::filesystem::remove(page); // a new file, with the usual permissions
            tree.WriteFile("page.htm", "old");
            const std::shared_ptr<FolderHandle> folder = Open("");
            const FileStamp read = ReadPage(*folder, NameOf(page), 100).stamp;
            std::unique_ptr<PendingReplace> replace;
            if (lastMoment) {
                replace = replacer.Start(folder, NameOf(page), read, "new");
                replace->Prepare();
            }
            make(tree);
            const std::string error = ErrorOf([&] {
                if (!replace)
                    replace = replacer.Start(folder, NameOf(page), read, "new");
                replace->Commit();
            });
            if (*after) {
                EXPECT_EQ(error, PageChanged(page).what());
                EXPECT_EQ(tree.ReadFile("page.htm"), after);
                EXPECT_EQ(tree.Entries(), Names{"page.htm"});
            } else {
                EXPECT_EQ(error, PageGone(page).what());
                EXPECT_EQ(tree.Entries(), Names{});
            }
        }
    }
}

// Replacing one name of a file takes nothing from its others: the next name
// is no page another program changed, and each ends as a file of its own,
// in the same folder or another.
TEST_F(FileLayerTest, TheOtherNamesOfAReplacedFileAreNoChangeByAnotherProgram) {
    const char* const pages[] = {"one/a.htm", "one/b.htm", "two/c.htm"};
    tree.WriteFile(pages[0], "old");
    tree.MakeFolder("two");
    for (const char* page : {pages[1], pages[2]})
        std::filesystem::create_hard_link(tree.Path(pages[0]), tree.Path(page));
    // As a run reaches them: each folder from the one the user named.
    const std::shared_ptr<FolderHandle> top = Open("");
    std::vector<std::unique_ptr<PendingReplace>> replaces;
    for (const char* page : pages) {
        const std::filesystem::path path = tree.Path(page);
        const std::shared_ptr<FolderHandle> folder =
            top->OpenFolder(NameOf(path.parent_path()), path.parent_path());
        replaces.push_back(
            replacer.Start(folder, NameOf(path), ReadPage(*folder, NameOf(path), 100).stamp, page));
    }
    for (const auto& replace : replaces) {
        replace->Prepare();
        replace->Commit();
    }
    for (const char* page : pages)
        EXPECT_EQ(tree.ReadFile(page), page);
}

TEST_F(FileLayerTest, CopyTreeCopiesOverTheDestinationLeavingOutItsOwnAndTheProgramsEntries) {
    tree.WriteFile("src/index.htm", "index");
    tree.WriteFile("src/a/deep/d.htm", "deep");
    const std::string temporary = std::filesystem::path(TempNameFor(NameOf("d.htm"))).string();
    tree.WriteFile("src/a/" + temporary, "a run's temporary file");
    tree.MakeFolder("src/empty");
    tree.WriteFile("dst/index.htm", "stale");
    tree.WriteFile("dst/a/extra.htm", "kept");
    tree.MakeFolder("src/.bak"); // a copy into the folder itself, as "/" into "/.bak"
    std::vector<std::pair<std::uint64_t, std::uint64_t>> progress;
    const std::shared_ptr<FolderHandle> inside = Open("src/.bak");
    CopyTree(*Open("src"), *Open("dst"), {}, [&](std::uint64_t files, std::uint64_t bytes) {
        progress.emplace_back(files, bytes);
    });
    CopyTree(*Open("src"), *inside, {.pageRules = false, .leaveOut = inside->Identity()}, {});

    EXPECT_EQ(tree.Entries("dst"), (Names{".bak/", "a/", "a/deep/", "a/deep/d.htm", "a/extra.htm",
                                          "empty/", "index.htm"}));
    EXPECT_EQ(tree.ReadFile("dst/index.htm"), "index");
    EXPECT_EQ(tree.ReadFile("dst/a/extra.htm"), "kept");
    EXPECT_EQ(tree.Entries("src/.bak"),
              (Names{"a/", "a/deep/", "a/deep/d.htm", "empty/", "index.htm"}));
    EXPECT_EQ(progress, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{1, 4}, {2, 9}}));
}

// Under the names of its files, a copy into a folder holding live pages
// replaces none that a run would not: here one with the read-only attribute.
TEST_F(FileLayerTest, ACopyUnderPageRulesStopsAtAReadOnlyPageBeforeTouchingIt) {
    tree.WriteFile("backup/a.htm", "backed up");
    tree.WriteFile("backup/b.htm", "backed up");
    tree.WriteFile("site/a.htm", "live");
    tree.WriteFile("site/b.htm", "live");
    std::filesystem::permissions(tree.Path("site/b.htm"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_TRUE(ErrorOf([&] {
                    CopyTree(*Open("backup"), *Open("site"),
                             {.pageRules = true, .leaveOut = std::nullopt}, {});
                }).starts_with(DisplayPath(tree.Path("site/b.htm")) + ": "));
    EXPECT_EQ(tree.ReadFile("site/a.htm"), "backed up");
    EXPECT_EQ(tree.ReadFile("site/b.htm"), "live");
    EXPECT_EQ(tree.Entries("site"), (Names{"a.htm", "b.htm"}));
}

TEST_F(FileLayerTest, NothingIsReachedThroughALinkAndARenameWithoutReplaceTakesNoName) {
    tree.MakeFolder("site/taken");
    tree.WriteFile("site/free/a.htm", "a");
    const std::shared_ptr<FolderHandle> site = Open("site");
    EXPECT_FALSE(
        ErrorOf([&] { site->RenameEntry(NameOf("free"), NameOf("taken"), false); }).empty());
    EXPECT_EQ(tree.Entries("site"), (Names{"free/", "free/a.htm", "taken/"}));
    if (!TempTree::MakesLinks())
        GTEST_SKIP() << "no links can be made here";
    tree.MakeLink("site/link", tree.Path("site/free"));
    const std::filesystem::path link = tree.Path("site/link");
    EXPECT_EQ(ErrorOf([&] { site->OpenFolder(NameOf(link), link); }), LinkRefused(link).what());
    EXPECT_EQ(site->Info(NameOf(link)).kind, EntryKind::Link);
    // a link to a page of the same name elsewhere
    tree.WriteFile("elsewhere/a.htm", "elsewhere");
    tree.MakeLink("site/a.htm", tree.Path("elsewhere/a.htm"));
    EXPECT_EQ(ErrorOf([&] { site->OpenFile(NameOf("a.htm")); }),
              NotOrdinaryFile(tree.Path("site/a.htm")).what());
    if (NamesAreBytes) {
        EXPECT_TRUE(site->RemoveFile(NameOf(link)));
        EXPECT_EQ(tree.Entries("site"), (Names{"a.htm", "free/", "free/a.htm", "taken/"}));
    } else { // Wine removes what a Linux link leads to, never the link itself
        EXPECT_EQ(ErrorOf([&] { site->RemoveFile(NameOf(link)); }), LinkRefused(link).what());
        EXPECT_EQ(tree.Entries("site"), (Names{"a.htm", "free/", "free/a.htm", "link", "taken/"}));
    }
    EXPECT_EQ(tree.ReadFile("elsewhere/a.htm"), "elsewhere");
}

// Another holder in the same process conflicts as one in another process does.
TEST_F(FileLayerTest, AFolderHeldConflictsInsideAndAroundButNotBesideAndGoesWithItsHolder) {
    for (const char* folder : {"site/a/in", "site/b"})
        tree.MakeFolder(folder);
    std::unique_ptr<FolderLock> held = Open("site/a")->Lock(true);
    for (const auto& [folder, busy] : {std::pair{"site/a", true},
                                       {"site/a/in", true},
                                       {"site", true},
                                       {"", true},
                                       {"site/b", false}}) {
        SCOPED_TRACE(folder);
        bool refused = false;
        try {
            Open(folder)->Lock(true);
        } catch (const FolderBusy& error) {
            refused = true;
            EXPECT_EQ(error.what(), std::string(FolderInUse(tree.Path(folder)).what()));
        }
        EXPECT_EQ(refused, busy);
    }
    held.reset();
    EXPECT_NE(Open("site/a")->Lock(true), nullptr);
}

} // namespace
} // namespace velnor::test
