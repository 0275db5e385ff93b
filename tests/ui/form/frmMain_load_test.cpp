#include "tests/ui/form/scripted_view.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace velnor::test {
namespace {

using namespace frmMain_design;
using frmMainLoad = FormFixture;
using Shown = std::map<frmMain_design::Control, std::vector<std::string>>;

// A stored folder that cannot be opened gives way to the process's current
// one, silently; the close stores whatever Dir1 shows.
TEST_F(frmMainLoad, Dir1ShowsTheStoredFolderOrTheCurrentOneAndCloseStoresIt) {
    tree.MakeFolder("site");
    tree.WriteFile("page.htm", "");
    const std::filesystem::path current = std::filesystem::current_path();
    const std::pair<const char*, std::filesystem::path> cases[] = {
        {nullptr, current}, // nothing stored
        {"site", std::filesystem::canonical(tree.Path("site"))},
        {"gone", current},
        {"page.htm", current},
    };
    for (const auto& [stored, shown] : cases) {
        SCOPED_TRACE(stored ? stored : "nothing stored");
        settings = std::make_shared<MemorySettings>();
        view = ScriptedView();
        if (stored)
            Remembered() = PathToUtf8(tree.Path(stored));
        Load();
        EXPECT_EQ(Dir1(), shown);
        EXPECT_TRUE(view.Messages.empty());
        form->Form_Unload();
        EXPECT_EQ(Remembered(), PathToUtf8(shown));
        EXPECT_EQ(view.ExitStatuses, std::vector<int>{0});
    }
}

// "80%" and the full gauges of the design are never seen; the gauges' counts
// start at zero too, so the next cell lit is the first. A run sets them at
// every character: the caption shown already costs nothing.
TEST_F(frmMainLoad, TheGaugesStartEmptyTheRatioAtZeroAndOnlyAChangeCostsACaption) {
    Load();
    EXPECT_EQ(view.Captions, (Shown{{sp1, {""}}, {sp2, {""}}, {yasuoLv, {"0%"}}}));
    form->Run().Gauges().UpdateFileBar(100);
    EXPECT_EQ(view.Captions[sp1], (std::vector<std::string>{"", "|"}));
    view.Captions.clear();
    form->SetStatus("准备就绪"); // as designed
    form->SetRatio(0);
    form->SetGaugeCells(Gauge::FileBar, 1);
    for (int twice = 0; twice < 2; ++twice) {
        form->SetStatus("正在工作: a.htm");
        form->SetRatio(74);
        form->SetGaugeCells(Gauge::PackBar, 3);
    }
    EXPECT_EQ(view.Captions,
              (Shown{{lbstate, {"正在工作: a.htm"}}, {yasuoLv, {"74%"}}, {sp2, {"|||"}}}));
}

// The close is never refused, and runs once however often it is asked for.
TEST_F(frmMainLoad, AFailedStoreAtCloseIsReportedAndTheProgramStillEndsOnce) {
    settings->failWrites = "/home/user/.config/Trimora/Trimora.conf: disk full";
    Load();
    form->Form_Unload();
    form->Form_Unload();
    EXPECT_EQ(view.Boxes(), std::vector<std::string>{settings->failWrites + " [Velnor] 010"});
    EXPECT_EQ(view.ExitStatuses, std::vector<int>{1});
}

} // namespace
} // namespace velnor::test
