#include "cli/run_command.h"
#include "tests/cli/cli_test_helpers.h"
#include "tests/support/failing_file_system.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

namespace velnor::cli {
namespace {

struct Page {
    std::string name;
    std::string original;
    std::string compacted; // both removals on
};

const std::vector<Page> kPages = {
    {"site/index.htm", "<div>a  b\r\n  c</div>", "<div>abc</div>"},
    {"site/sub/page.HTML", "<p>\r\n  x  y</p>", "<p>xy</p>"},
    {"site/old.asp", "<% x = 1 %>\r\n<b> hi </b>", "<%x = 1 %><b>hi</b>"},
};
const std::string kNotes = "a  b\r\n";

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\n";
    }
    return text;
}

class RunCommand : public ::testing::Test {
protected:
    RunCommand() {
        for (const auto& page : kPages) {
            tree_.WriteFile(page.name, page.original);
        }
        tree_.WriteFile("site/notes.txt", kNotes);
    }

    std::string Site() const { return tree_.Path("site").string(); }

    void ExpectPagesAsOriginal() const {
        for (const auto& page : kPages) {
            EXPECT_EQ(tree_.ReadFile(page.name), page.original) << page.name;
        }
    }
    void ExpectPagesCompacted() const {
        for (const auto& page : kPages) {
            EXPECT_EQ(tree_.ReadFile(page.name), page.compacted) << page.name;
        }
    }
    // "B → A bytes" of the three pages.
    static std::string BytesBeforeAfter() {
        std::size_t before = 0;
        std::size_t after = 0;
        for (const auto& page : kPages) {
            before += page.original.size();
            after += page.compacted.size();
        }
        return std::to_string(before) + " → " + std::to_string(after) + " bytes";
    }

    velnor::test::TempTree tree_;
};

TEST_F(RunCommand, YesCompactsEveryPageAndBacksUpTheOriginals) {
    CapturedStreams io;
    EXPECT_EQ(Cli({"run", "--yes", Site()}, io.Streams()), 0);

    ExpectPagesCompacted();
    EXPECT_EQ(tree_.ReadFile("site/notes.txt"), kNotes);
    for (const auto& page : kPages) {
        std::string backup = "site.bak" + page.name.substr(4);
        EXPECT_EQ(tree_.ReadFile(backup), page.original) << backup;
    }
    EXPECT_EQ(tree_.ReadFile("site.bak/notes.txt"), kNotes);
    EXPECT_EQ(io.Out().rfind("rewrote 3 pages, " + BytesBeforeAfter() + " (", 0), 0u) << io.Out();
    EXPECT_EQ(io.Err(), "");
}

TEST_F(RunCommand, NoBackupLeavesNoBackupFolder) {
    CapturedStreams io;
    EXPECT_EQ(Cli({"run", "--no-backup", Site()}, io.Streams()), 0);
    ExpectPagesCompacted();
    EXPECT_EQ(tree_.Entries(),
              (std::vector<std::string>{"site/", "site/index.htm", "site/notes.txt", "site/old.asp",
                                        "site/sub/", "site/sub/page.HTML"}));
}

TEST_F(RunCommand, ExistingBackupWithoutYesOrTerminalIsDeclinedAndChangesNothing) {
    tree_.WriteFile("site.bak/index.htm", "older");
    CapturedStreams io("y\n"); // not a terminal: never read as an answer

    EXPECT_EQ(Cli({"run", Site()}, io.Streams()), 3);

    ExpectPagesAsOriginal();
    EXPECT_EQ(tree_.Entries("site.bak"), std::vector<std::string>{"index.htm"});
    EXPECT_EQ(tree_.ReadFile("site.bak/index.htm"), "older");
    EXPECT_EQ(io.Out(), "");
    EXPECT_EQ(io.Err(), Joined({"velnor-cli: " + Site() +
                                    ".bak 已经存在,是否继续? -- answered no: no terminal to ask "
                                    "(pass --yes to answer yes)",
                                "velnor-cli: declined; nothing was changed"}));
}

TEST_F(RunCommand, ExistingBackupWithYesIsBroughtUpToDate) {
    tree_.WriteFile("site.bak/index.htm", "older");
    tree_.WriteFile("site.bak/gone.htm", "only in the backup");
    CapturedStreams io;

    EXPECT_EQ(Cli({"run", "--yes", Site()}, io.Streams()), 0);

    ExpectPagesCompacted();
    EXPECT_EQ(tree_.ReadFile("site.bak/index.htm"), kPages[0].original);
    EXPECT_EQ(tree_.ReadFile("site.bak/gone.htm"), "only in the backup");
}

TEST_F(RunCommand, TerminalAnswerDecidesOverAnExistingBackup) {
    struct Case {
        std::string typed;
        int status;
        bool compacted;
    };
    for (const Case& c : {Case{"y\n", 0, true}, Case{" YES \n", 0, true}, Case{"n\n", 3, false},
                          Case{"\n", 3, false}, Case{"", 3, false}}) {
        for (const auto& page : kPages) {
            tree_.WriteFile(page.name, page.original);
        }
        tree_.WriteFile("site.bak/index.htm", "older");
        CapturedStreams io(c.typed);

        EXPECT_EQ(Cli({"run", Site()}, io.Streams(/*inIsTerminal=*/true)), c.status) << c.typed;

        EXPECT_EQ(io.Err().rfind(Site() + ".bak 已经存在,是否继续? [y/N] ", 0), 0u) << io.Err();
        EXPECT_EQ(tree_.ReadFile("site/index.htm"),
                  c.compacted ? kPages[0].compacted : kPages[0].original)
            << c.typed;
    }
}

TEST_F(RunCommand, DryRunReadsEverythingAndWritesNothing) {
    CapturedStreams io;
    EXPECT_EQ(Cli({"run", "--dry-run", Site()}, io.Streams()), 0);

    ExpectPagesAsOriginal();
    EXPECT_FALSE(std::filesystem::exists(tree_.Path("site.bak")));
    EXPECT_EQ(io.Out().rfind("dry run, nothing written: 3 pages would be rewritten, " +
                                 BytesBeforeAfter() + " (",
                             0),
              0u)
        << io.Out();
}

TEST_F(RunCommand, KeepFlagsAndExtensionListReachTheRun) {
    CapturedStreams io;
    EXPECT_EQ(Cli({"run", "--no-backup", "--ext", "TXT", "--keep-spaces", "--keep-breaks", Site()},
                  io.Streams()),
              0);
    EXPECT_EQ(tree_.ReadFile("site/notes.txt"), "a  b\r");
    ExpectPagesAsOriginal();
    EXPECT_EQ(io.Out().rfind("rewrote 1 page, 6 → 5 bytes (83.3% kept) in ", 0), 0u) << io.Out();
}

TEST_F(RunCommand, MissingFolderFailsWithoutTouchingAnything) {
    CapturedStreams io;
    const std::string missing = tree_.Path("nowhere").string();
    EXPECT_EQ(Cli({"run", "--yes", missing}, io.Streams()), 1);
    EXPECT_EQ(io.Out(), "");
    EXPECT_EQ(io.Err(), "velnor-cli: " + missing + ": no such folder\n");
    EXPECT_FALSE(std::filesystem::exists(tree_.Path("nowhere.bak")));
}

TEST_F(RunCommand, FailedPageEndsTheRunWithItsDescription) {
    auto failures = std::make_shared<velnor::test::ServiceFailures>();
    failures->FailOn(velnor::test::ServiceCall::ReplaceFile, tree_.Path("site/index.htm"), EACCES);
    CapturedStreams io;

    int status = RunCli({"run", "--no-backup", Site()}, io.Streams(),
                        velnor::test::MakeFailingFileSystemFactory(failures), RealNow);

    EXPECT_EQ(status, 1);
    // Depth first: the subfolder's page is done before the failing one.
    EXPECT_EQ(tree_.ReadFile("site/sub/page.HTML"), kPages[1].compacted);
    EXPECT_EQ(tree_.ReadFile("site/index.htm"), kPages[0].original);
    EXPECT_EQ(tree_.ReadFile("site/old.asp"), kPages[2].original);
    EXPECT_EQ(io.Out(), "");
    EXPECT_NE(io.Err().find("Permission denied"), std::string::npos) << io.Err();
    EXPECT_NE(io.Err().find("velnor-cli: 1 page had been rewritten before the error\n"),
              std::string::npos)
        << io.Err();
}

TEST_F(RunCommand, ProgressIsDrawnOnATerminalAndWipedBeforeTheSummary) {
    CapturedStreams io;
    EXPECT_EQ(Cli({"run", "--no-backup", Site()}, io.Streams(false, /*errIsTerminal=*/true)), 0);
    const std::string err = io.Err();
    EXPECT_NE(err.find("] 3/3 pages"), std::string::npos) << err;
    EXPECT_EQ(err.substr(err.size() - 4), "\r\x1b[K");
    EXPECT_EQ(io.Out().rfind("rewrote 3 pages", 0), 0u);
}

TEST(NormalFolder, BackupOfAnyFolderSpellingIsASibling) {
    EXPECT_EQ(NormalFolder("/srv/site/"), "/srv/site");
    EXPECT_EQ(NormalFolder("/srv/site/."), "/srv/site");
    EXPECT_EQ(NormalFolder("/srv/./www/../site//"), "/srv/site");
    EXPECT_EQ(NormalFolder("/"), "/");
    EXPECT_EQ(NormalFolder("site/"), std::filesystem::current_path() / "site");
    EXPECT_EQ(NormalFolder("."), std::filesystem::current_path());
}

class RestoreCommand : public RunCommand {
protected:
    RestoreCommand() {
        CapturedStreams io;
        EXPECT_EQ(Cli({"run", "--yes", Site()}, io.Streams()), 0);
        tree_.WriteFile("site/new.htm", "<b>added since</b>");
    }
};

TEST_F(RestoreCommand, YesCopiesTheBackupBackAndKeepsAddedPages) {
    CapturedStreams io;
    EXPECT_EQ(Cli({"restore", "--yes", Site()}, io.Streams()), 0);
    ExpectPagesAsOriginal();
    EXPECT_EQ(tree_.ReadFile("site/new.htm"), "<b>added since</b>");
    EXPECT_EQ(io.Err(), "文件已经全部还原.\n");
    EXPECT_EQ(io.Out(), "");
}

TEST_F(RestoreCommand, WithoutYesOrTerminalIsDeclinedAndChangesNothing) {
    CapturedStreams io;
    EXPECT_EQ(Cli({"restore", Site()}, io.Streams()), 3);
    ExpectPagesCompacted();
    EXPECT_EQ(io.Err(), Joined({"velnor-cli: 你确定要还原备份文件吗? -- answered no: no terminal "
                                "to ask (pass --yes to answer yes)",
                                "velnor-cli: declined; nothing was changed"}));
}

TEST_F(RestoreCommand, TerminalAnswerYesRestores) {
    CapturedStreams io("y\n");
    EXPECT_EQ(Cli({"restore", Site()}, io.Streams(/*inIsTerminal=*/true)), 0);
    ExpectPagesAsOriginal();
    EXPECT_EQ(io.Err(), "你确定要还原备份文件吗? [y/N] 文件已经全部还原.\n");
}

TEST_F(RestoreCommand, MissingBackupFailsWithItsDescription) {
    std::filesystem::remove_all(tree_.Path("site.bak"));
    CapturedStreams io;
    EXPECT_EQ(Cli({"restore", "--yes", Site()}, io.Streams()), 1);
    ExpectPagesCompacted();
    const std::string err = io.Err();
    EXPECT_EQ(err.rfind("velnor-cli: ", 0), 0u) << err;
    EXPECT_NE(err.find("No such file or directory"), std::string::npos) << err;
    EXPECT_EQ(err.find("文件已经全部还原."), std::string::npos) << err;
}

} // namespace
} // namespace velnor::cli
