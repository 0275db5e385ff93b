#include "run/display_path.h"
#include "run/run_driver.h"
#include "tests/run/run_fixture.h"
#include "tests/support/failing_file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace velnor::test {
namespace {

using Entries = std::vector<std::string>;

const std::string Working = "正在工作: ";
const std::string Finished = "已经完成任务.";

// The observer's calls, in order.
class RecordingObserver : public RunObserver {
public:
    void PagesMatched(const std::vector<std::filesystem::path>& pages) override {
        matched = pages;
        statusesWhenMatched = window ? window->Statuses.size() : 0;
    }
    void PageDone(const std::filesystem::path& page, std::uint64_t before,
                  std::uint64_t after) override {
        done.push_back({page, before, after});
    }

    struct Done {
        std::filesystem::path page;
        std::uint64_t before;
        std::uint64_t after;
        bool operator==(const Done&) const = default;
    };
    ScriptedWindow* window = nullptr;
    std::vector<std::filesystem::path> matched;
    std::size_t statusesWhenMatched = 0;
    std::vector<Done> done;
};

class RunDriverTest : public RunFixture {
protected:
    RunDriver& Driver(RunSettings settings = {}) {
        driver = std::make_unique<RunDriver>(window, MakeFailingFileSystemFactory(calls), settings,
                                             &observer);
        return *driver;
    }
    void Start(RunSettings settings = {}) { Driver(settings).Start(); }

    // Pages whose work was announced in the status label, in order.
    std::vector<std::string> Worked() const {
        std::vector<std::string> worked;
        for (const std::string& status : window.Statuses)
            if (status.rfind(Working, 0) == 0)
                worked.push_back(status.substr(Working.size()));
        return worked;
    }

    std::shared_ptr<ServiceFailures> calls = std::make_shared<ServiceFailures>();
    RecordingObserver observer;
    std::unique_ptr<RunDriver> driver;
};

TEST_F(RunDriverTest, AMissingFolderEndsTheRunWithoutAWord) {
    window.Folder = tree.Path("no-such-folder");
    window.Backup = true;
    Start();
    EXPECT_TRUE(window.Statuses.empty());
    EXPECT_TRUE(window.Messages.empty());
    EXPECT_TRUE(window.Ratios.empty());
    EXPECT_TRUE(window.GaugeSets.empty());
    EXPECT_EQ(calls->Calls(ServiceCall::CopyFolder), 0u);
    EXPECT_EQ(tree.Entries(), (Entries{"site/"}));
}

TEST_F(RunDriverTest, EmptyExtensionTextStillBacksUpAndSearchesButRewritesNothing) {
    WritePage("a.htm", "a  b");
    WritePage("sub/c.txt", "c  d");
    window.Extensions = "";
    window.Backup = true;
    Start();

    EXPECT_TRUE(driver->ExtList().empty());
    EXPECT_EQ(tree.ReadFile("site.bak/a.htm"), "a  b");
    EXPECT_EQ(window.Statuses, (Entries{DisplayPath(PagePath("sub/c.txt")),
                                        DisplayPath(PagePath("a.htm")), Finished}));
    EXPECT_EQ(calls->Calls(ServiceCall::ReadWholeFile), 0u);
    EXPECT_EQ(calls->Calls(ServiceCall::ReplaceFile), 0u);
    EXPECT_EQ(ReadPage("a.htm"), "a  b");
}

TEST_F(RunDriverTest, PagesAreChosenByTheirEndIgnoringCase) {
    const std::string page = "a  b";
    for (const char* name : {"page.HTM", "PAGE2.htm", "page.html", "xhtm", "page.htm.bak",
                             "notes.txt", "sub/deep.Asp"})
        WritePage(name, page);
    window.Extensions = "htm|html|asp|HTM";
    Start();

    const std::string compacted = Compacted(page, WindowOptions());
    ASSERT_NE(compacted, page);
    for (const char* name : {"page.HTM", "PAGE2.htm", "page.html", "xhtm", "sub/deep.Asp"})
        EXPECT_EQ(ReadPage(name), compacted) << name;
    for (const char* name : {"page.htm.bak", "notes.txt"})
        EXPECT_EQ(ReadPage(name), page) << name;

    // page.HTM matches both "htm" and "HTM" and is still worked once
    const auto worked = Worked();
    EXPECT_EQ(worked.size(), 5u);
    EXPECT_EQ(std::count(worked.begin(), worked.end(), DisplayPath(PagePath("page.HTM"))), 1);
    EXPECT_EQ(calls->Calls(ServiceCall::ReplaceFile), 5u);
}

TEST_F(RunDriverTest, EmptyEntriesOfTheExtensionListMatchNoFile) {
    WritePage("a.htm", "a  b");
    WritePage("notes.txt", "c  d");
    for (const char* text : {"htm||html", "|htm|", "|"}) {
        window.Extensions = text;
        Start();
        EXPECT_EQ(ReadPage("notes.txt"), "c  d") << text;
    }
    EXPECT_EQ(ReadPage("a.htm"), Compacted("a  b", WindowOptions()));
    EXPECT_EQ(driver->ExtList(), (Entries{"", ""})); // kept as typed
}

TEST_F(RunDriverTest, AnEmptyPageIsRewrittenEmptyWithoutSteps) {
    WritePage("empty.htm", "");
    Start();
    EXPECT_EQ(ReadPage("empty.htm"), "");
    EXPECT_EQ(calls->Paths(ServiceCall::ReplaceFile),
              std::vector<std::filesystem::path>{PagePath("empty.htm")});
    EXPECT_TRUE(window.Ratios.empty());
    EXPECT_TRUE(window.GaugeSets.empty());
    EXPECT_EQ(window.Yields, 1u); // the search's, for the one file found
    EXPECT_EQ(window.Statuses.back(), Finished);
}

TEST_F(RunDriverTest, AOneCharacterPageIsRewrittenUnchangedWithoutSteps) {
    WritePage("one.htm", " ");
    Start();
    EXPECT_EQ(ReadPage("one.htm"), " ");
    EXPECT_EQ(calls->Calls(ServiceCall::ReplaceFile), 1u);
    EXPECT_TRUE(window.Ratios.empty());
    EXPECT_TRUE(window.GaugeSets.empty());
    EXPECT_EQ(driver->Counters().ScannedInRun, 0);
}

struct RatioCase {
    const char* page;
    bool removeSpaces;
    bool removeBreaks;
    const char* output;
    const char* lastRatio;
    std::size_t steps;
};

class RatioTest : public RunDriverTest, public ::testing::WithParamInterface<RatioCase> {};

TEST_P(RatioTest, TheRatioLabelShowsTheShareKeptSoFar) {
    const RatioCase c = GetParam();
    WritePage("p.htm", c.page);
    window.RemoveSpaces = c.removeSpaces;
    window.RemoveBreaks = c.removeBreaks;
    Start();
    EXPECT_EQ(ReadPage("p.htm"), c.output);
    ASSERT_EQ(window.Ratios.size(), c.steps);
    EXPECT_EQ(window.Ratios.back(), c.lastRatio);
    EXPECT_EQ(window.Yields, c.steps + 1); // one per step, one for the search
}

INSTANTIATE_TEST_SUITE_P(
    Pages, RatioTest,
    ::testing::Values(
        // 14 kept of 19 scanned: 73.68...
        RatioCase{"<div>a  b\r\n  c</div>", true, false, "<div>ab\rc</div>", "74%", 19},
        RatioCase{"a       b", true, true, "ab", "12%", 8},   // 1 of 8: 12.5
        RatioCase{"a     bcd", true, true, "abcd", "38%", 8}, // 3 of 8: 37.5
        RatioCase{"ab", false, false, "ab", "100%", 1}, RatioCase{"a ", true, true, "a", "0%", 1}));

TEST_F(RunDriverTest, TheRatioCoversTheWholeRunNotOnePage) {
    WritePage("a.htm", "a       b"); // 1 of 8
    WritePage("b.htm", "abcdefghi"); // 8 of 8
    Start();
    EXPECT_EQ(window.Ratios[7], "12%");
    EXPECT_EQ(window.Ratios.back(), "56%"); // 9 of 16: 56.25
    EXPECT_EQ(driver->Counters().KeptInRun, 9);
    EXPECT_EQ(driver->Counters().ScannedInRun, 16);
}

TEST_F(RunDriverTest, TheFileGaugeCountsBytesSoATwoByteTextEndsHalfWay) {
    std::string page;
    for (int i = 0; i < 100; ++i)
        page += "\xD6\xD0"; // 中 in GBK
    WritePage("zh.htm", page);
    Start();

    EXPECT_EQ(ReadPage("zh.htm"), page);
    // sp1 ends at 50% (30 cells), not 100%; sp2 at 99 of 200 bytes kept (50%).
    EXPECT_EQ(window.Cells(Gauge::FileBar), 30u);
    EXPECT_EQ(window.Cells(Gauge::PackBar), 30u);
    EXPECT_EQ(window.Ratios.back(), "100%");
}

TEST_F(RunDriverTest, GaugesStartEmptyForAPageThatBeginsBelowHalfAPercent) {
    WritePage("big.htm", std::string(1000, 'x'));
    window.FileBarCaption = std::string(60, '|');
    Start();
    // 2 of 1000 bytes is 0%: the gauge is emptied, then fills to 60 cells
    EXPECT_EQ(window.GaugeSets.front(), std::make_pair(Gauge::FileBar, std::string()));
    EXPECT_EQ(window.Cells(Gauge::FileBar), 60u);
}

TEST_F(RunDriverTest, ASecondStartCompactsTheRewrittenPagesAgainFromZeroedCounters) {
    const std::string page = "<b>a  b</b>\r\n\r\n <i>c</i>";
    WritePage("a.htm", page);
    window.RemoveSpaces = false;
    Start();
    const std::string once = Compacted(page, WindowOptions());
    ASSERT_EQ(ReadPage("a.htm"), once);
    const RunCounters first = driver->Counters();

    window.RemoveSpaces = true;
    driver->Start();
    EXPECT_EQ(ReadPage("a.htm"), Compacted(once, WindowOptions()));
    EXPECT_EQ(calls->Calls(ServiceCall::ReplaceFile), 2u);
    // counted afresh: the second run's steps only
    EXPECT_EQ(first.ScannedInRun, static_cast<std::int32_t>(page.size()) - 1);
    EXPECT_EQ(driver->Counters().ScannedInRun, static_cast<std::int32_t>(once.size()) - 1);
}

TEST_F(RunDriverTest, EveryMatchingPageIsRewrittenEvenWhenNothingChanges) {
    WritePage("tight.htm", "<p>x</p>");
    Start();
    EXPECT_EQ(calls->Paths(ServiceCall::ReplaceFile),
              std::vector<std::filesystem::path>{PagePath("tight.htm")});
}

TEST_F(RunDriverTest, StatusNamesEachPageThenTheEnd) {
    WritePage("b.htm", "b");
    WritePage("a/a.htm", "a");
    Start();
    EXPECT_EQ(window.Statuses,
              (Entries{DisplayPath(PagePath("a/a.htm")), DisplayPath(PagePath("b.htm")),
                       Working + DisplayPath(PagePath("a/a.htm")),
                       Working + DisplayPath(PagePath("b.htm")), Finished}));
}

TEST_F(RunDriverTest, NamesWithABarOrNotInUtf8AreWorkedLikeAnyOther) {
    const std::string page = "x  y";
    WritePage("a|b.htm", page);
    WritePage("\xD6\xD0\xCE\xC4.htm", page); // 中文 in GBK
    WritePage("\xFF.htm", page);
    Start();
    EXPECT_TRUE(window.Messages.empty());
    const std::string compacted = Compacted(page, WindowOptions());
    EXPECT_EQ(ReadPage("a|b.htm"), compacted);
    EXPECT_EQ(ReadPage("\xD6\xD0\xCE\xC4.htm"), compacted);
    EXPECT_EQ(ReadPage("\xFF.htm"), compacted);
    const auto worked = Worked();
    EXPECT_NE(std::find(worked.begin(), worked.end(), DisplayPath(tree.Path("site")) + "/中文.htm"),
              worked.end());
}

TEST_F(RunDriverTest, ALinkLoopIsNotFollowed) {
    WritePage("a.htm", "a  b");
    tree.MakeLink("site/loop", ".");
    tree.MakeLink("site/sub/up", "..");
    Start();
    EXPECT_TRUE(window.Messages.empty());
    EXPECT_EQ(Worked(), Entries{DisplayPath(PagePath("a.htm"))});
    EXPECT_EQ(ReadPage("a.htm"), "ab");
    EXPECT_EQ(window.Statuses.back(), Finished);
}

TEST_F(RunDriverTest, TickingRemoveSpacesAtAYieldTakesEffectFromTheNextCharacter) {
    WritePage("p.htm", "a b c d");
    window.RemoveSpaces = false;
    window.RemoveBreaks = false;
    // yield 1 is the search's; yield 3 follows the step over "b" (position 3)
    window.OnYield = [this](std::size_t yield) {
        if (yield == 3)
            window.RemoveSpaces = true;
    };
    Start();
    EXPECT_EQ(ReadPage("p.htm"), "a bcd");
    EXPECT_EQ(window.SpacesReads, 6u); // once a step
}

TEST_F(RunDriverTest, StartOrRestorePressedDuringARunAreIgnored) {
    WritePage("a.htm", "a  b  c");
    tree.WriteFile("site.bak/a.htm", "backed up");
    std::size_t nested = 0;
    window.OnYield = [&](std::size_t yield) {
        if (yield != 4)
            return;
        EXPECT_TRUE(driver->Running());
        const std::size_t statuses = window.Statuses.size();
        const std::size_t messages = window.Messages.size();
        const std::size_t folderTests = calls->Calls(ServiceCall::FolderExists);
        const RunCounters counters = driver->Counters();
        driver->Start();
        driver->Restore();
        EXPECT_EQ(window.Statuses.size(), statuses);
        EXPECT_EQ(window.Messages.size(), messages);
        EXPECT_EQ(calls->Calls(ServiceCall::FolderExists), folderTests);
        EXPECT_EQ(driver->Counters().ScannedInRun, counters.ScannedInRun);
        ++nested;
    };
    Start();
    EXPECT_EQ(nested, 1u);
    EXPECT_FALSE(driver->Running());
    EXPECT_EQ(ReadPage("a.htm"), "abc");
    EXPECT_EQ(window.Statuses.back(), Finished);
    EXPECT_TRUE(window.Messages.empty());
}

TEST_F(RunDriverTest, StartPressedWhileARestoreAsksIsIgnored) {
    WritePage("a.htm", "a  b");
    tree.WriteFile("site.bak/a.htm", "backed up");
    window.OnMessage = [this](const MessageBoxRequest&) {
        driver->Start();
    };
    window.SetNextAnswer(MessageAnswer::Ok);
    Driver().Restore();
    EXPECT_EQ(ReadPage("a.htm"), "backed up");
    EXPECT_TRUE(window.Statuses.empty());
    EXPECT_FALSE(driver->Running());
}

TEST_F(RunDriverTest, TheCommandLinePathGivesTheSameResultWithoutStepReports) {
    const std::vector<std::pair<const char*, std::string>> pages = {
        {"a.htm", "<div>a  b\r\n  c</div>"},
        {"b.html", "<%  x = 1 %>\r\n<b> hi </b>"},
        {"sub/c.asp", "<script type=t>\r\n  var a = 1;\r\n</script>"},
        {"skip.txt", "a  b"}};
    for (const auto& [name, bytes] : pages)
        WritePage(name, bytes);
    Start(RunSettings{false, false});

    for (const auto& [name, bytes] : pages) {
        const bool matched = std::string(name) != "skip.txt";
        EXPECT_EQ(ReadPage(name), matched ? Compacted(bytes, WindowOptions()) : bytes) << name;
    }
    EXPECT_TRUE(window.Ratios.empty());
    EXPECT_TRUE(window.GaugeSets.empty());
    EXPECT_EQ(window.Yields, 4u);      // the search's only
    EXPECT_EQ(window.SpacesReads, 3u); // once a page
    EXPECT_EQ(window.Statuses.back(), Finished);
}

TEST_F(RunDriverTest, TheObserverHearsOfTheMatchedPagesFirstThenOfEachPage) {
    WritePage("a.htm", "a  b");
    WritePage("b.txt", "b  b");
    WritePage("sub/c.htm", "c");
    observer.window = &window;
    Start();

    EXPECT_EQ(observer.matched,
              (std::vector<std::filesystem::path>{PagePath("sub/c.htm"), PagePath("a.htm")}));
    EXPECT_EQ(observer.statusesWhenMatched, 3u); // after the search, before the first page
    EXPECT_EQ(observer.done, (std::vector<RecordingObserver::Done>{{PagePath("sub/c.htm"), 1, 1},
                                                                   {PagePath("a.htm"), 4, 2}}));
}

TEST_F(RunDriverTest, ADryRunWritesNothingButReportsTheSizes) {
    WritePage("a.htm", "a  b");
    WritePage("sub/c.htm", "c \r\n d");
    window.Backup = true;
    for (const bool reportSteps : {true, false}) {
        observer.done.clear();
        Start(RunSettings{reportSteps, true});
        EXPECT_EQ(calls->Calls(ServiceCall::ReplaceFile), 0u);
        EXPECT_EQ(ReadPage("a.htm"), "a  b");
        EXPECT_EQ(ReadPage("sub/c.htm"), "c \r\n d");
        EXPECT_EQ(observer.done, (std::vector<RecordingObserver::Done>{
                                     {PagePath("sub/c.htm"), 6, 2}, {PagePath("a.htm"), 4, 2}}));
    }
    EXPECT_EQ(tree.Entries(), (Entries{"site/", "site/a.htm", "site/sub/", "site/sub/c.htm"}));
}

} // namespace
} // namespace velnor::test
