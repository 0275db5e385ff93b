#include "tests/core/run/run_fixture.h"
#include "tests/support/case_names.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <tuple>
#include <utility>

namespace velnor::test {
namespace {

using RunDriverTest = RunFixture;

TEST_F(RunDriverTest, AMissingFolderEndsTheRunWithoutAWord) {
    window.Folder = tree.Path("no-such-folder");
    window.Backup = true;
    EXPECT_EQ(Start(), RunOutcome::NoFolder);
    EXPECT_TRUE(window.Statuses.empty());
    EXPECT_TRUE(window.Messages.empty());
    EXPECT_EQ(window.Yields, 0u);
    EXPECT_EQ(tree.Entries(), Entries{"site/"});
}

TEST_F(RunDriverTest, PagesAreChosenByTheirEndIgnoringCaseAndEachIsWorkedOnceInSearchOrder) {
    const std::string page = "a  b";
    ASSERT_NE(Compacted(page), page);
    // page.HTM matches two entries; the empty entries match nothing; every
    // letter is lower-cased, on both sides
    window.Extensions = "htm|HTM||asp||äsp|ΣΕΛ";
    const std::pair<std::string, bool> files[] = {
        {"page.HTM", true},      {"xhtm", true},     {"notes.txt", false}, {"sub/deep.Asp", true},
        {"page.htm.bak", false}, {"中文.htm", true}, {"x.ÄSP", true},      {"y.σελ", true}};
    for (const auto& [name, matches] : files)
        WritePage(name, page);
    Start();
    for (const auto& [name, matches] : files)
        EXPECT_EQ(ReadPage(name), matches ? Compacted(page) : page) << name;
    EXPECT_EQ(Worked(),
              (Entries{DisplayPath(PagePath("sub/deep.Asp")), DisplayPath(PagePath("page.HTM")),
                       DisplayPath(PagePath("x.ÄSP")), DisplayPath(PagePath("xhtm")),
                       DisplayPath(PagePath("y.σελ")), DisplayPath(PagePath("中文.htm"))}));
    EXPECT_EQ(window.Statuses.back(), Finished);
}

// The page, Check1, Check2, the page afterwards, its steps, the last ratio shown (-1: none).
using PageCase = std::tuple<const char*, bool, bool, const char*, std::size_t, int>;

class PageTest : public RunFixture, public ::testing::WithParamInterface<PageCase> {};

TEST_P(PageTest, IsRewrittenStepByStepShowingTheShareKept) {
    const auto& [page, removeSpaces, removeBreaks, output, steps, lastRatio] = GetParam();
    WritePage("p.htm", page);
    window.RemoveSpaces = removeSpaces;
    window.RemoveBreaks = removeBreaks;
    Start();
    EXPECT_EQ(ReadPage("p.htm"), output);
    // replaced even when nothing changed
    EXPECT_EQ(failures->CallPaths(FileCall::Rename), std::vector{PagePath("p.htm")});
    EXPECT_EQ(window.Ratios.size(), steps);
    EXPECT_EQ(window.Ratios.empty() ? -1 : window.Ratios.back(), lastRatio);
    EXPECT_EQ(window.GaugeWrites == 0, steps == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PageTest,
    ::testing::Values(PageCase{"<div>a  b\r\n  c</div>", true, false, "<div>ab\rc</div>", 19,
                               74},                                   // 14 of 19
                      PageCase{"a       b", true, true, "ab", 8, 12}, // 1 of 8: 12.5, ties to even
                      PageCase{"a     bcd", true, true, "abcd", 8, 38}, // 3 of 8: 37.5
                      PageCase{"a ", true, true, "a", 1, 0}, PageCase{"", true, true, "", 0, -1}),
    CaseNames({"SpacesOnly", "TieRoundsDown", "TieRoundsUp", "NothingKept", "Empty"}));

TEST_F(RunDriverTest, TheFileGaugeCountsBytesSoATwoByteTextEndsHalfWay) {
    std::string page;
    for (int i = 0; i < 100; ++i)
        page += "\xD6\xD0"; // 中 in GBK
    WritePage("zh.htm", page);
    Start();
    EXPECT_EQ(ReadPage("zh.htm"), page);
    EXPECT_EQ(window.FileBarCells, 30); // 50%, not 100%
    EXPECT_EQ(window.Ratios.back(), 100);
}

TEST_F(RunDriverTest, ASecondStartCompactsAgainWithTheRatioOverItsOwnRunAlone) {
    WritePage("a.htm", "a       b");
    WritePage("b.htm", "abcdefghi");
    window.RemoveSpaces = window.RemoveBreaks = false;
    Start();
    ASSERT_NE(ReadPage("a.htm"), "ab");
    window.RemoveSpaces = true;
    window.Ratios.clear();
    driver->Start();
    EXPECT_EQ(ReadPage("a.htm"), "ab");
    EXPECT_EQ(window.Ratios[7], 12);     // after page a: 1 of 8
    EXPECT_EQ(window.Ratios.back(), 56); // both pages: 9 of 16
}

TEST_F(RunDriverTest, TickingRemoveSpacesAtAYieldTakesEffectFromTheNextCharacter) {
    const std::string page = "a b c d";
    // yield 1 is the search's; yield k follows the step over character k - 1
    for (std::size_t k = 2; k <= page.size(); ++k) {
        WritePage("p.htm", page);
        window.RemoveSpaces = window.RemoveBreaks = false;
        window.Yields = 0;
        window.OnYield = [this, k](std::size_t yield) {
            window.RemoveSpaces = yield >= k;
        };
        Start();
        std::string rest = page.substr(k);
        std::erase(rest, ' ');
        EXPECT_EQ(ReadPage("p.htm"), page.substr(0, k) + rest) << k;
    }
}

TEST_F(RunDriverTest, StartOrRestorePressedDuringARunIsIgnored) {
    WritePage("a.htm", "a  b  c");
    tree.WriteFile("site.bak/a.htm", "backed up");
    window.OnYield = [this](std::size_t yield) {
        if (yield != 4)
            return;
        const Entries statuses = window.Statuses;
        EXPECT_EQ(driver->Start().outcome, RunOutcome::Busy);
        EXPECT_EQ(driver->Restore().outcome, RunOutcome::Busy);
        EXPECT_EQ(window.Statuses, statuses);
    };
    EXPECT_EQ(Start(), RunOutcome::Done);
    EXPECT_EQ(ReadPage("a.htm"), "abc");
    EXPECT_EQ(window.Yields, 7u); // the search's and six steps: no second run
    EXPECT_TRUE(window.Messages.empty());
    EXPECT_EQ(window.Statuses.back(), Finished);
}

TEST_F(RunDriverTest, AClosedWindowLeavesEveryPageOriginalOrCompactedAndNoTemporaryFile) {
    const Entries names = {"a.htm", "b.htm", "c.htm"};
    const std::string original = "<p>one  two</p>\r\n  <p>three</p>";
    const std::size_t steps = original.size() - 1;
    const std::size_t yields = 3 + 3 * steps; // the search's, then one per step
    const std::size_t abandonAt[] = {
        1, 3, 4, 3 + steps / 2, 3 + steps, 4 + steps, 3 + 2 * steps + 5, yields};
    for (const std::size_t at : abandonAt) {
        for (const auto& name : names)
            WritePage(name, original);
        window.OnYield = [at](std::size_t yield) {
            if (yield == at)
                throw RunAbandoned{};
        };
        window.Yields = 0;
        EXPECT_EQ(Start(), RunOutcome::Abandoned) << at;
        EXPECT_FALSE(driver->Running()) << at;
        EXPECT_TRUE(window.Messages.empty()) << at;
        // the pages whose last step came before the close are rewritten, no other
        const std::size_t done = at <= 3 ? 0 : (at - 4) / steps;
        for (std::size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ(ReadPage(names[i]), i < done ? Compacted(original) : original) << at;
        EXPECT_EQ(tree.Entries("site"), names) << at;
    }
}

constexpr const char* Original = "<p>a  b</p>";

// Check4, whether a backup from before (with a page of its own) exists, the answer, whether it
// runs.
using BackupCase = std::tuple<bool, bool, MessageAnswer, bool>;

class BackupTest : public RunFixture, public ::testing::WithParamInterface<BackupCase> {};

TEST_P(BackupTest, AnExistingBackupIsRefreshedOnlyAfterAYes) {
    const auto& [ticked, existing, answer, runs] = GetParam();
    WritePage("a.htm", Original);
    if (existing) {
        tree.WriteFile("site.bak/a.htm", "stale");
        tree.WriteFile("site.bak/extra.htm", "kept");
    }
    window.Backup = ticked;
    window.Answers = {answer};
    EXPECT_EQ(Start(), runs ? RunOutcome::Done : RunOutcome::Declined);

    ASSERT_EQ(window.Messages.size(), ticked && existing ? 1u : 0u);
    for (const MessageBoxRequest& question : window.Messages)
        EXPECT_EQ(Fields(question),
                  Fields({DisplayPath(tree.Path("site")) + ".bak 已经存在,是否继续?", "覆盖文件",
                          MessageButtons::YesNo, MessageIcon::None, MessageAnswer::Yes}));
    EXPECT_EQ(std::filesystem::exists(tree.Path("site.bak")), ticked);
    if (ticked) {
        EXPECT_EQ(tree.ReadFile("site.bak/a.htm"), runs ? Original : "stale");
    }
    if (existing) {
        EXPECT_EQ(tree.ReadFile("site.bak/extra.htm"), "kept");
    }
    EXPECT_EQ(ReadPage("a.htm"), runs ? Compacted(Original) : Original);
    EXPECT_EQ(window.Statuses.empty(), !runs);
}

INSTANTIATE_TEST_SUITE_P(Answers, BackupTest,
                         ::testing::Values(BackupCase{false, false, MessageAnswer::No, true},
                                           BackupCase{true, false, MessageAnswer::No, true},
                                           BackupCase{true, true, MessageAnswer::Yes, true},
                                           BackupCase{true, true, MessageAnswer::No, false}),
                         CaseNames({"Unticked", "NoneBefore", "AnsweredYes", "AnsweredNo"}));

// The backup is made under a temporary name beside it and renamed when whole.
TEST_F(RunDriverTest, AFailedNewBackupEndsTheRunLeavingNoBackupAndNoPageRewritten) {
    WritePage("a.htm", Original);
    WritePage("b.htm", Original);
    window.Backup = true;
    // the copy of b.htm fails, or the rename of the whole copy to site.bak; the
    // message names the backup the user knows, not its temporary name
    for (const auto& [failing, path] : {std::pair(FileCall::WriteFile, tree.Path("site.bak/b.htm")),
                                        std::pair(FileCall::Rename, tree.Path("site.bak"))}) {
        failures->Heal();
        failures->FailOn(failing, path, "no room");
        window.Messages.clear();
        EXPECT_EQ(Start(), RunOutcome::Failed);
        ExpectOneCriticalBox(DisplayPath(path) + ": no room");
        EXPECT_EQ(ReadPage("a.htm"), Original);
        EXPECT_EQ(tree.Entries(), (Entries{"site/", "site/a.htm", "site/b.htm"}));
        EXPECT_TRUE(window.Statuses.empty());
    }
}

TEST_F(RunDriverTest, RestoreAsksThenCopiesTheBackupBackKeepingPagesAddedSince) {
    WritePage("a.htm", Original);
    EXPECT_EQ(Restore(), RunOutcome::Failed); // no backup yet: the error, in a plain box
    ASSERT_EQ(window.Messages.size(), 2u);
    EXPECT_THAT(window.Messages[1].text, SystemError(tree.Path("site.bak")));
    EXPECT_EQ(Fields(window.Messages[1]),
              Fields({window.Messages[1].text, "Velnor", MessageButtons::Ok, MessageIcon::None,
                      MessageAnswer::Ok}));

    window.Backup = true;
    Start();
    WritePage("added.htm", "new  page");
    window.Messages.clear();
    const std::size_t statuses = window.Statuses.size();
    EXPECT_EQ(Restore(), RunOutcome::Done); // answered with the default, OK
    EXPECT_EQ(Fields(window.Messages[0]),
              Fields({"你确定要还原备份文件吗?", "Velnor", MessageButtons::OkCancel,
                      MessageIcon::None, MessageAnswer::Ok}));
    EXPECT_EQ(ReadPage("a.htm"), Original);
    EXPECT_EQ(ReadPage("added.htm"), "new  page");
    EXPECT_EQ(tree.ReadFile("site.bak/a.htm"), Original);
    ASSERT_EQ(window.Messages.size(), 2u);
    EXPECT_EQ(Fields(window.Messages[1]), Fields({"文件已经全部还原.", "Velnor", MessageButtons::Ok,
                                                  MessageIcon::Exclamation, MessageAnswer::Ok}));
    EXPECT_EQ(window.Statuses.size(), statuses);
}

// A missing folder is made anew under a temporary name: a restore that fails
// half-way leaves no folder, and nothing beside it.
TEST_F(RunDriverTest, ARestoreThatFailsMakingTheFolderAnewLeavesNoFolder) {
    tree.WriteFile("site.bak/a.htm", Original);
    tree.WriteFile("site.bak/b.htm", Original);
    std::filesystem::remove(tree.Path("site"));
    failures->FailOn(FileCall::WriteFile, PagePath("b.htm"), "no room");
    EXPECT_EQ(Restore(), RunOutcome::Failed);
    EXPECT_EQ(window.Messages.back().text, DisplayPath(PagePath("b.htm")) + ": no room");
    EXPECT_EQ(tree.Entries(), (Entries{"site.bak/", "site.bak/a.htm", "site.bak/b.htm"}));
    failures->Heal();
    EXPECT_EQ(Restore(), RunOutcome::Done);
    EXPECT_EQ(ReadPage("b.htm"), Original);
}

} // namespace
} // namespace velnor::test
