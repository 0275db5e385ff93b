#include "cli/run_command.h"
#include "core/files/temp_name.h"
#include "tests/cli/cli_test_helpers.h"
#include "tests/support/system_words.h"
#include "tests/support/temp_tree.h"

#include <span>
#include <string>
#include <tuple>

namespace velnor::cli {
namespace {

struct Page {
    std::string name, original, compacted; // compacted with both removals on
};

// 59 bytes, compacted to 42.
const Page kPages[] = {
    {"site/index.htm", "<div>a  b\r\n  c</div>", "<div>abc</div>"},
    {"site/sub/page.HTML", "<p>\r\n  x  y</p>", "<p>xy</p>"},
    {"site/old.asp", "<% x = 1 %>\r\n<b> hi </b>", "<%x = 1 %><b>hi</b>"},
};
const std::string kNotes = "a  b\r\n";
const std::string kDeclined = "velnor-cli: declined; nothing was changed\n";

class RunCommand : public ::testing::Test {
protected:
    RunCommand() { WriteSite(false); }

    std::string Site() const { return tree_.Path("site").string(); }
    void WriteSite(bool compacted) const {
        std::filesystem::remove_all(tree_.Path("site.bak"));
        for (const Page& page : kPages)
            tree_.WriteFile(page.name, compacted ? page.compacted : page.original);
        tree_.WriteFile("site/notes.txt", kNotes);
    }
    void ExpectPages(bool compacted) const {
        for (const Page& page : kPages)
            EXPECT_EQ(tree_.ReadFile(page.name), compacted ? page.compacted : page.original);
    }
    // The folder is spelled so that its backup is "site.bak" only if taken apart
    // right; an hour passes once an answer is read, which the summary leaves out.
    int Run(const std::string& command, const CapturedStreams& io,
            bool inIsTerminal = false) const {
        Args args = Words(command);
        args.push_back(Site() + "/./");
        const auto clock = [in = io.Streams().in] {
            return std::chrono::steady_clock::time_point{} +
                   std::chrono::hours(::lseek(in, 0, SEEK_CUR) > 0 ? 1 : 0);
        };
        return RunCli(
            args, io.Streams(inIsTerminal), [] { return MakeFileSystem(); }, clock);
    }

    velnor::test::TempTree tree_;
};

TEST_F(RunCommand, OptionsDecideWhatIsWrittenAndTheSummarySaysIt) {
    // the command, whether the pages are compacted and backed up, notes.txt, the summary
    const std::tuple<std::string, bool, std::string, std::string> cases[] = {
        {"run", true, kNotes, "rewrote 3 pages, 59 → 42 bytes (71.2% kept) in "},
        {"run --dry-run", false, kNotes,
         "dry run, nothing written: 3 pages would be rewritten, 59 → 42 bytes ("},
        {"run --no-backup --ext=TXT --keep-spaces --keep-breaks", false, "a  b\r",
         "rewrote 1 page, 6 → 5 bytes (83.3% kept) in "},
    };
    for (const auto& [command, written, notes, summary] : cases) {
        WriteSite(false);
        CapturedStreams io;
        EXPECT_EQ(Run(command, io), 0) << command;
        ExpectPages(written);
        EXPECT_EQ(tree_.ReadFile("site/notes.txt"), notes);
        EXPECT_EQ(tree_.Entries().size(), written ? 12u : 6u);
        for (const Page& page : written ? kPages : std::span<const Page>())
            EXPECT_EQ(tree_.ReadFile("site.bak" + page.name.substr(4)), page.original);
        EXPECT_THAT(io.Out(), AllOf(StartsWith(summary), EndsWith(" in 0.00 s\n")));
        EXPECT_EQ(io.Err(), ""); // no terminal, so no progress bar
    }
}

TEST_F(RunCommand, ExistingBackupIsBroughtUpToDateOnlyWhenTheAnswerIsYes) {
    const std::string question = Site() + ".bak 已经存在,是否继续?";
    const auto asked = StartsWith(question + " [y/N] ");
    // a command line answered by what is typed, at a terminal or not: the status
    // and standard error that follow
    const std::tuple<std::string, std::string, bool, int, StringMatcher> cases[] = {
        {"run --yes", "", false, 0, IsEmpty()},
        {"run", "y\n", true, 0, asked},
        {"run", " YES \n", true, 0, asked},
        {"run", "n\n", true, 3, AllOf(asked, EndsWith(kDeclined))},
        {"run", "yy\n", true, 3, asked},
        {"run", "\n", true, 3, asked}, // Enter alone keeps the backup as it is
        {"run", "", true, 3, asked},
        {"run", "y\n", false, 3,
         Eq("velnor-cli: " + question +
            " -- answered no: no terminal to ask (pass --yes to answer yes)\n" + kDeclined)},
    };
    for (const auto& [command, typed, terminal, status, err] : cases) {
        WriteSite(false);
        tree_.WriteFile("site.bak/index.htm", "older");
        CapturedStreams io(typed);
        EXPECT_EQ(Run(command, io, terminal), status) << typed;
        const bool yes = status == 0;
        ExpectPages(yes);
        EXPECT_EQ(tree_.ReadFile("site.bak/index.htm"), yes ? kPages[0].original : "older");
        EXPECT_THAT(io.Out(), yes ? StringMatcher(AllOf(StartsWith("rewrote 3 pages"),
                                                        EndsWith(" in 0.00 s\n")))
                                  : IsEmpty());
        EXPECT_THAT(io.Err(), err) << typed;
    }
}

TEST_F(RunCommand, MissingFolderOrBackupFailsWithItsDescriptionAndChangesNothing) {
    const std::string missing = tree_.Path("nowhere").string();
    ExpectInvocation({"run", "--yes", missing}, "", 1, IsEmpty(),
                     Eq("velnor-cli: " + missing + ": no such folder\n"));
    EXPECT_FALSE(std::filesystem::exists(tree_.Path("nowhere.bak")));
    ExpectInvocation({"restore", "--yes", Site()}, "", 1, IsEmpty(),
                     AllOf(StartsWith("velnor-cli: "),
                           HasSubstr(velnor::test::SystemWords(velnor::test::Fault::NoSuchFile))));
    ExpectPages(false);
}

// The backup's and the restore's copies show files and bytes as they go; the
// restore, asked at the terminal, copies the backup back after a yes.
TEST_F(RunCommand, ProgressIsDrawnOnATerminalAndWipedBeforeTheSummary) {
    CapturedStreams io;
    EXPECT_EQ(Cli({"run", "--yes", Site()}, io.Streams(false, /*errIsTerminal=*/true)), 0);
    EXPECT_THAT(io.Err(), AllOf(StartsWith("\rcopying: 1 file  0.0 MB  "), HasSubstr("] 3/3 pages"),
                                EndsWith("\r\x1b[K")));
    EXPECT_THAT(io.Out(), StartsWith("rewrote 3 pages"));
    ExpectPages(true);
    CapturedStreams restore("y\n");
    EXPECT_EQ(Cli({"restore", Site()}, restore.Streams(true, true)), 0);
    ExpectPages(false);
    EXPECT_EQ(restore.Out(), "");
    EXPECT_THAT(restore.Err(),
                AllOf(StartsWith("你确定要还原备份文件吗? [y/N] \rcopying: 1 file  0.0 MB  "),
                      EndsWith("\r\x1b[K文件已经全部还原.\n")));
}

// An old Windows console shows escape sequences as they are: a shorter line
// is padded over the longer one before it, and the last one wiped by blanks.
TEST_F(RunCommand, ProgressOnATerminalThatTakesNoEscapesIsRedrawnWithBlanks) {
    CapturedStreams io;
    CliStreams streams = io.Streams(false, true);
    streams.errTakesEscapes = false;
    EXPECT_EQ(Cli({"run", "--yes", Site()}, streams), 0);
    const std::string err = io.Err();
    EXPECT_EQ(err.find('\x1b'), std::string::npos);
    const std::size_t wipe = err.rfind('\r', err.size() - 2);
    ASSERT_NE(wipe, std::string::npos);
    const std::size_t line = err.rfind('\r', wipe - 1);
    const std::string last = err.substr(line + 1, wipe - line - 1);
    EXPECT_THAT(last, HasSubstr("] 3/3 pages"));
    EXPECT_EQ(err.substr(wipe), "\r" + std::string(last.find_last_not_of(' ') + 1, ' ') + "\r");
    EXPECT_THAT(io.Out(), StartsWith("rewrote 3 pages"));
}

// A run over "lnk/..": leftovers removed, then a read-only page with escapes in its name.
TEST_F(RunCommand, TheFolderIsTheOneTheSystemResolvesAndNamesReachTheTerminalEscaped) {
    if (!velnor::test::NamesAreBytes)
        GTEST_SKIP() << "no control characters in names here, and no links for every user";
    tree_.WriteFile("top.htm", kNotes);
    tree_.MakeLink("lnk", tree_.Path("site/sub"));
    const std::string evil = "site/a\x1b]0;owned\x07\x1b[2J.htm";
    tree_.WriteFile(evil, kNotes);
    std::filesystem::permissions(tree_.Path(evil), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    for (const std::string folder : {"site/", "site/sub/"})
        tree_.WriteFile(folder + std::filesystem::path(
                                     velnor::TempNameFor(std::filesystem::path("x.htm").native()))
                                     .string(),
                        "half a page");
    CapturedStreams io;
    // "lnk/.." is site, not the tree around lnk
    EXPECT_EQ(Cli({"run", "--no-backup", tree_.Path("lnk").string() + "/.."}, io.Streams()), 1);
    EXPECT_EQ(tree_.ReadFile("top.htm"), kNotes);
    EXPECT_EQ(io.Err(), "velnor-cli: " + tree_.Path("site").string() +
                            "/a\\x1B]0;owned\\x07\\x1B[2J.htm: Permission denied\n"
                            "velnor-cli: removed 2 temporary files left by an interrupted run\n"
                            "velnor-cli: 1 page had been rewritten before the error\n");
}

} // namespace
} // namespace velnor::cli
