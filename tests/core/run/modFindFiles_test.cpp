#include "core/run/modFindFiles.h"
#include "core/text/path_text.h"
#include "tests/support/failing_file_system.h"
#include "tests/support/scripted_window.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace velnor::test {
namespace {

using Names = std::vector<std::string>;

class FindFilesTest : public ::testing::Test {
protected:
    std::string Relative(const std::filesystem::path& path) const {
        return path.empty() ? "" : tree.Relative(path);
    }
    // The found paths relative to the tree, "" for the empty last entry.
    Names Found() const {
        Names names;
        for (const auto& path : finder.FoundFiles().Paths())
            names.push_back(Relative(path));
        return names;
    }
    void FindFiles(const std::filesystem::path& folder, const WalkRules& rules = {}) {
        Leftovers removed;
        finder.FindFiles(*failures->Factory()()->OpenFolder(folder), rules, removed);
    }

    TempTree tree;
    ScriptedWindow window;
    std::shared_ptr<FileSystemFailures> failures = std::make_shared<FileSystemFailures>();
    modFindFiles finder{window};
};

TEST_F(FindFilesTest, SubfoldersComeFirstThenTheFolderItsOwnFilesEachShownWithOneYield) {
    // files made, files found; scanned in turn; where any user can make links, every case also has
    // links in w/a, among them a loop: none is followed
    std::vector<std::pair<Names, Names>> cases = {
        // the worked example: w holding r.htm, a/a1.htm and b/b1.htm
        {{"w/r.htm", "w/a/a1.htm", "w/b/b1.htm"}, {"w/a/a1.htm", "w/b/b1.htm", "w/r.htm", ""}},
        {{}, {}}, // no file: no entry, not even the empty one, and no status
        {{"w/a/2", "w/B/1", "w/c/3"}, {"w/B/1", "w/a/2", "w/c/3", ""}}, // by code, not by letter
    };
    if (NamesAreBytes)
        cases.insert(
            cases.end(),
            // a "|" does not cut a name
            {{{"w/a/f.htm", "w/a|b.htm", "w/|/|"}, {"w/a/f.htm", "w/|/|", "w/a|b.htm", ""}}});
    for (const auto& [files, found] : cases) {
        tree.MakeFolder("w");
        for (const std::string& file : files)
            tree.WriteFile(file, "");
        if (NamesAreBytes) {
            tree.MakeLink("w/a/up", "..");
            tree.MakeLink("w/a/self", tree.Path("w/a"));
            tree.MakeLink("w/a/f-again.htm", "f.htm");
        }
        // the caption shown at each yield
        Names shown;
        window = ScriptedWindow{};
        window.OnYield = [&](std::size_t yield) {
            ASSERT_EQ(window.Statuses.size(), yield);
            shown.push_back(Relative(PathFromUtf8(window.Statuses.back())));
        };
        FindFiles(tree.Path("w"));
        EXPECT_EQ(Found(), found);
        EXPECT_EQ(window.Statuses.size(), shown.size());
        if (!shown.empty())
            shown.push_back("");
        EXPECT_EQ(shown, found);
        std::filesystem::remove_all(tree.Path("w"));
    }
}

TEST_F(FindFilesTest, AFailedScanLeaksNothingIntoTheNext) {
    tree.WriteFile("second/a/found-before-failing.htm", "");
    tree.WriteFile("second/b/x.htm", "");
    tree.WriteFile("third/three.htm", "");
    failures->FailOn(FileCall::List, tree.Path("second/b"));

    EXPECT_THROW(FindFiles(tree.Path("second")), FileSystemError);
    FindFiles(tree.Path("third"));
    EXPECT_EQ(Found(), (Names{"third/three.htm", ""}));
}

// The backup inside a root ("/.bak") is no part of what a run compacts.
TEST_F(FindFilesTest, TheFolderLeftOutIsNotWalked) {
    tree.WriteFile("w/a.htm", "");
    tree.WriteFile("w/.bak/a.htm", "");
    tree.WriteFile("w/z/z.htm", "");
    const FolderId backup = MakeFileSystem()->OpenFolder(tree.Path("w/.bak"))->Identity();
    FindFiles(tree.Path("w"), {.removeLeftovers = false, .leaveOut = backup});
    EXPECT_EQ(Found(), (Names{"w/z/z.htm", "w/a.htm", ""}));
}

} // namespace
} // namespace velnor::test
