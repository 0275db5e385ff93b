#include "run/modFindFiles.h"
#include "tests/support/failing_file_ops.h"
#include "tests/support/temp_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

namespace velnor {
namespace {

using test::FailingFileOps;
using test::TempTree;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Records what the search writes to the window, in order: "status:<caption>"
// and "yield".
class RecordingWindow : public WindowSeam {
public:
    std::vector<std::string> Events;
    std::function<void(std::size_t)> OnYield;

    std::vector<std::string> Statuses() const {
        std::vector<std::string> statuses;
        for (const std::string& event : Events) {
            if (event.starts_with("status:")) {
                statuses.push_back(event.substr(7));
            }
        }
        return statuses;
    }

    std::filesystem::path FolderPath() const override { return {}; }
    bool BackupTicked() const override { return false; }
    std::string ExtensionText() const override { return {}; }
    bool RemoveSpacesTicked() const override { return false; }
    bool RemoveBreaksTicked() const override { return false; }
    void SetStatus(const std::string& caption) override { Events.push_back("status:" + caption); }
    void SetRatio(const std::string&) override { Events.push_back("ratio"); }
    std::string GaugeCaption(Gauge) const override { return {}; }
    void SetGaugeCaption(Gauge, const std::string&) override { Events.push_back("gauge"); }
    void Yield() override {
        Events.push_back("yield");
        if (OnYield) {
            OnYield(++yields_);
        }
    }
    MessageAnswer ShowMessage(const MessageBoxRequest&) override {
        Events.push_back("message");
        return MessageAnswer::Ok;
    }

private:
    std::size_t yields_ = 0;
};

// The found paths relative to root, "" standing for the empty last entry.
std::vector<std::string> Relative(const std::vector<std::filesystem::path>& found,
                                  const std::filesystem::path& root) {
    std::vector<std::string> names;
    for (const auto& path : found) {
        names.push_back(path.empty() ? "" : path.lexically_relative(root).native());
    }
    return names;
}

class FindFilesTest : public ::testing::Test {
protected:
    TempTree tree;
    RecordingWindow window;
    std::shared_ptr<FailingFileOps> ops = std::make_shared<FailingFileOps>();
    modFindFiles finder{window, ops->Factory()};

    std::vector<std::string> Found() const { return Relative(finder.FoundFiles(), tree.Root()); }
};

TEST_F(FindFilesTest, SubfoldersComeFirstThenTheFolderItsOwnFiles) {
    // the worked example: D:\w holding r.htm, a\a1.htm and b\b1.htm
    tree.WriteFile("w/r.htm", "");
    tree.WriteFile("w/a/a1.htm", "");
    tree.WriteFile("w/b/b1.htm", "");

    finder.FindFiles(tree.Path("w"));

    EXPECT_THAT(Found(), ElementsAre("w/a/a1.htm", "w/b/b1.htm", "w/r.htm", ""));
    const std::string w = tree.Path("w").native();
    EXPECT_THAT(window.Events,
                ElementsAre("status:" + w + "/a/a1.htm", "yield", "status:" + w + "/b/b1.htm",
                            "yield", "status:" + w + "/r.htm", "yield"));
}

TEST_F(FindFilesTest, OrderOfDeeperTrees) {
    struct Case {
        std::vector<std::string> Files;
        std::vector<std::string> Expected;
    };
    const std::vector<Case> cases = {
        {{"z.htm", "a/a.htm", "a/x/x.htm", "a/x/y/y.txt", "b/b.asp"},
         {"a/x/y/y.txt", "a/x/x.htm", "a/a.htm", "b/b.asp", "z.htm", ""}},
        {{"only/in/deep/page.html"}, {"only/in/deep/page.html", ""}},
        {{"B/1", "a/2", "A/3", "b/4"}, {"A/3", "B/1", "a/2", "b/4", ""}},
        {{"x.htm", "y.gif", "noext"}, {"noext", "x.htm", "y.gif", ""}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        TempTree own;
        for (const std::string& file : cases[i].Files) {
            own.WriteFile(file, "x");
        }
        finder.FindFiles(own.Root());
        EXPECT_EQ(Relative(finder.FoundFiles(), own.Root()), cases[i].Expected) << "case " << i;
    }
}

TEST_F(FindFilesTest, TreeWithoutFilesFindsNothingAndLeavesTheStatusAlone) {
    tree.MakeFolder("w/a/b");
    tree.MakeFolder("w/c");

    finder.FindFiles(tree.Path("w"));

    EXPECT_THAT(finder.FoundFiles(), IsEmpty());
    EXPECT_THAT(window.Events, IsEmpty());
}

TEST_F(FindFilesTest, TrailingSlashGivesTheSameList) {
    tree.WriteFile("w/r.htm", "");
    tree.WriteFile("w/a/a1.htm", "");

    finder.FindFiles(tree.Root().native() + "/w");
    const auto without = finder.FoundFiles();
    finder.FindFiles(tree.Root().native() + "/w/");

    EXPECT_EQ(finder.FoundFiles(), without);
    for (const auto& path : without) {
        EXPECT_EQ(path.native().find("//"), std::string::npos) << path;
    }
}

// A service that serves one folder holding one file, wherever it is asked.
class RootOnlyFileSystem : public FileSystemService {
public:
    std::vector<std::filesystem::path> Opened;

    bool FolderExists(const std::filesystem::path&) override { return true; }
    void CopyFolder(const std::filesystem::path&, const std::filesystem::path&, bool) override {}
    std::unique_ptr<Folder> GetFolder(const std::filesystem::path& path) override {
        Opened.push_back(path);
        struct OneFile : Folder {
            std::filesystem::path Path;
            std::vector<FolderItem> SubFolders() const override { return {}; }
            std::vector<FolderItem> Files() const override { return {{Path / "x.htm"}}; }
        };
        auto folder = std::make_unique<OneFile>();
        folder->Path = path;
        return folder;
    }
    std::string ReadWholeFile(const std::filesystem::path&) override { return {}; }
    void ReplaceFile(const std::filesystem::path&, std::string_view) override {}
};

TEST_F(FindFilesTest, RootIsOpenedUnchanged) {
    auto fs = std::make_shared<RootOnlyFileSystem>();
    modFindFiles rootFinder(window, [fs] { return fs; });

    rootFinder.FindFiles("/");

    EXPECT_THAT(fs->Opened, ElementsAre("/"));
    EXPECT_THAT(rootFinder.FoundFiles(), ElementsAre("/x.htm", ""));
}

TEST_F(FindFilesTest, EmptyPathIsNotTakenForTheRoot) {
    auto fs = std::make_shared<RootOnlyFileSystem>();
    modFindFiles emptyFinder(window, [fs] { return fs; });

    emptyFinder.FindFiles("");

    EXPECT_THAT(fs->Opened, ElementsAre(""));
}

TEST_F(FindFilesTest, EachSearchMakesANewFileSystem) {
    int made = 0;
    modFindFiles counting(window, [&made] {
        ++made;
        return MakeFileSystem();
    });
    tree.WriteFile("w/r.htm", "");

    counting.FindFiles(tree.Path("w"));
    const auto first = counting.FileSys();
    counting.FindFiles(tree.Path("w"));

    EXPECT_EQ(made, 2);
    EXPECT_NE(counting.FileSys(), first);
}

TEST_F(FindFilesTest, FailedScanKeepsThePreviousResultAndLeaksNothingIntoTheNext) {
    tree.WriteFile("first/one.htm", "");
    tree.WriteFile("second/a/found-before-failing.htm", "");
    tree.WriteFile("second/b/unlistable/x.htm", "");
    tree.WriteFile("third/three.htm", "");
    finder.FindFiles(tree.Path("first"));
    ops->FailOnPath(FileOpKind::ListFolder, tree.Path("second/b/unlistable/"), EACCES);

    EXPECT_THROW(finder.FindFiles(tree.Path("second")), FileSystemError);
    EXPECT_THAT(Found(), ElementsAre("first/one.htm", ""));

    finder.FindFiles(tree.Path("third"));
    EXPECT_THAT(Found(), ElementsAre("third/three.htm", ""));
}

TEST_F(FindFilesTest, ScanFindingNothingAfterOneThatFoundFilesEmptiesTheList) {
    tree.WriteFile("full/page.htm", "");
    tree.MakeFolder("empty/sub");

    finder.FindFiles(tree.Path("full"));
    finder.FindFiles(tree.Path("empty"));

    EXPECT_THAT(finder.FoundFiles(), IsEmpty());
}

TEST_F(FindFilesTest, LinkLoopEndsAndNothingIsListedTwice) {
    tree.WriteFile("w/r.htm", "");
    tree.WriteFile("w/a/f.htm", "");
    tree.MakeLink("w/a/up", "..");
    tree.MakeLink("w/a/self", tree.Path("w/a"));
    tree.MakeLink("w/a/f-again.htm", "f.htm");

    finder.FindFiles(tree.Path("w"));

    EXPECT_THAT(Found(), ElementsAre("w/a/f.htm", "w/r.htm", ""));
}

TEST_F(FindFilesTest, BarInANameDoesNotCutThePath) {
    tree.WriteFile("w/a|b.htm", "");
    tree.WriteFile("w/|/|", "");

    finder.FindFiles(tree.Path("w"));

    EXPECT_THAT(Found(), ElementsAre("w/|/|", "w/a|b.htm", ""));
}

TEST_F(FindFilesTest, NonUtf8NameIsFoundShownReadablyAndRewrittenUnderItsName) {
    const std::string gbk = "\xC4\xE3\xBA\xC3.htm"; // 你好.htm in GBK
    const std::string broken = "bad\xFF.htm";       // no character in GBK either
    tree.WriteFile("w/" + gbk, "old");
    tree.WriteFile("w/" + broken, "old");

    finder.FindFiles(tree.Path("w"));

    ASSERT_THAT(Found(), ElementsAre("w/" + broken, "w/" + gbk, ""));
    const std::string w = tree.Path("w").native();
    EXPECT_THAT(window.Statuses(),
                ElementsAre(w + "/bad\\xFF.htm", w + "/\xE4\xBD\xA0\xE5\xA5\xBD.htm"));

    finder.FileSys()->ReplaceFile(finder.FoundFiles()[1], "new");
    EXPECT_EQ(tree.ReadFile("w/" + gbk), "new");
    EXPECT_THAT(tree.Entries("w"), ElementsAre(broken, gbk));
}

TEST_F(FindFilesTest, ClosedWindowStopsTheScanAtItsYield) {
    tree.WriteFile("first/one.htm", "");
    tree.WriteFile("w/a.htm", "");
    tree.WriteFile("w/b.htm", "");
    tree.WriteFile("w/c.htm", "");
    finder.FindFiles(tree.Path("first"));
    window.Events.clear();
    window.OnYield = [](std::size_t yield) {
        if (yield == 2) {
            throw RunAbandoned{};
        }
    };

    EXPECT_THROW(finder.FindFiles(tree.Path("w")), RunAbandoned);

    EXPECT_EQ(window.Statuses().size(), 2u);
    EXPECT_THAT(Found(), ElementsAre("first/one.htm", ""));
}

} // namespace
} // namespace velnor
