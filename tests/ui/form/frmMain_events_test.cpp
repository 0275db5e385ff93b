#include "core/text/path_text.h"
#include "tests/support/system_words.h"
#include "tests/ui/form/scripted_view.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace velnor::test {
namespace {

const char* const Page = "<p>\r\n    Hello,   world  </p>\r\n\r\n<b> x </b>   y\r\n";

// A page folder "site" in a temporary tree, remembered, so the form opens on it.
class frmMainEvents : public FormFixture {
protected:
    frmMainEvents() {
        tree.MakeFolder("site");
        Remembered() = PathToUtf8(Site());
    }

    std::filesystem::path Site() const { return std::filesystem::canonical(tree.Path("site")); }
    // Acts at the given character step (1-based) of the run; sp1 lights its
    // first cell at the first step, so yields from then on are steps.
    void AtStep(std::size_t step, std::function<void()> act) {
        view.OnYield = [this, step, act, steps = std::size_t{0}](std::size_t) mutable {
            if (form->Run().Gauges().FileBarCells != 0 && ++steps == step)
                act();
        };
    }
};

// Start runs (a second one asks before it refreshes the backup), Restore asks
// and tells, About shows the box.
TEST_F(frmMainEvents, TheButtonsStartRestoreAndShowAbout) {
    tree.WriteFile("site/index.htm", Page);
    Load();
    view.Backup = true;
    form->Command1_Click();
    EXPECT_EQ(view.Captions[frmMain_design::lbstate].back(), "已经完成任务.");
    view.Answers = {MessageAnswer::No};
    form->Command1_Click();
    form->Command2_Click();
    form->Command3_Click();
    EXPECT_EQ(tree.ReadFile("site/index.htm"), Page);
    EXPECT_EQ(view.Boxes(),
              (std::vector<std::string>{
                  PathToUtf8(Site()) + ".bak 已经存在,是否继续? [覆盖文件] YesNo None Yes",
                  "你确定要还原备份文件吗? [Velnor] OkCancel None Ok",
                  "文件已经全部还原. [Velnor] Ok Exclamation Ok",
              }));
    EXPECT_EQ(view.AboutShown, 1u);
}

TEST_F(frmMainEvents, Check1ClickedDuringARunTakesEffectFromTheNextCharacter) {
    tree.WriteFile("site/page.htm", "a b c d");
    Load();
    view.RemoveSpaces = false;
    view.RemoveBreaks = false;
    AtStep(3, [this] { view.RemoveSpaces = true; });
    form->Command1_Click();
    EXPECT_EQ(tree.ReadFile("site/page.htm"), "a b cd");
}

TEST_F(frmMainEvents, ClosingDuringARunStopsItAtItsYieldAndStoresTheFolder) {
    for (const char* name : {"site/a.htm", "site/b.htm", "site/c.htm"})
        tree.WriteFile(name, Page);
    Load();
    std::size_t yieldsAtClose = 0;
    view.OnYield = [&](std::size_t yield) {
        const std::vector<std::string>& status = view.Captions[frmMain_design::lbstate];
        if (yieldsAtClose == 0 && !status.empty() && status.back().ends_with("b.htm") &&
            form->Run().Gauges().FileBarCells != 0) {
            yieldsAtClose = yield;
            form->Form_Unload();
        }
    };
    form->Command1_Click();

    ASSERT_NE(yieldsAtClose, 0u);
    EXPECT_EQ(view.Yields, yieldsAtClose);
    EXPECT_EQ(Remembered(), PathToUtf8(Site()));
    EXPECT_EQ(view.ExitStatuses, std::vector<int>{0});
    EXPECT_EQ(tree.ReadFile("site/b.htm"), Page);
    EXPECT_FALSE(form->Run().Running());
}

// A drive, a line of Dir1 or a FOLDER given that cannot be opened gets a box in
// the system's words, and Dir1 stays as it was.
TEST_F(frmMainEvents, FoldersThatCannotBeOpenedAreReportedAndDir1Stays) {
    tree.MakeFolder("usb/photos");
    const std::filesystem::path usb = std::filesystem::canonical(tree.Path("usb"));
    Load();
    view.DriveShown = usb;
    form->Drive1_Change();
    EXPECT_EQ(Dir1(), usb);
    const std::size_t photos = LineOf("photos");
    view.DriveShown = tree.Path("gone");
    form->Drive1_Change();
    std::filesystem::remove(tree.Path("usb/photos"));
    form->Dir1_Open(photos);
    form->OpenFolder(tree.Path("missing"));
    EXPECT_EQ(Dir1(), usb);
    const auto failed = [](const std::filesystem::path& path) {
        return PathToUtf8(path) + ": " + SystemWords(Fault::NoSuchFile) + " [Velnor] Ok None Ok";
    };
    EXPECT_EQ(view.Boxes(),
              (std::vector<std::string>{failed(tree.Path("gone")), failed(usb / "photos"),
                                        failed(tree.Path("missing"))}));
    form->Form_Unload();
    EXPECT_EQ(Remembered(), PathToUtf8(usb));
}

} // namespace
} // namespace velnor::test
