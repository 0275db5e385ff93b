#include "tests/support/system_words.h"
#include "tests/ui/form/scripted_view.h"

#include <gtest/gtest.h>

#include <filesystem>
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
};

// Start reads the options from the view: no backup; spaces go, line breaks stay.
TEST_F(frmMainEvents, TheButtonsStartRestoreAndShowAbout) {
    tree.WriteFile("site/index.htm", "a b\r\nc");
    Load();
    view.RemoveBreaks = false;
    form->Command1_Click();
    EXPECT_EQ(view.Captions[frmMain_design::lbstate].back(), "已经完成任务.");
    EXPECT_EQ(tree.ReadFile("site/index.htm"), "ab\rc");
    EXPECT_FALSE(std::filesystem::exists(tree.Path("site.bak")));
    view.Answers = {MessageAnswer::Cancel};
    form->Command2_Click();
    form->Command3_Click();
    EXPECT_EQ(view.Boxes(), std::vector<std::string>{"你确定要还原备份文件吗? [Velnor] 100"});
    EXPECT_EQ(view.AboutShown, 1u);
}

TEST_F(frmMainEvents, ClosingDuringARunStopsItAtItsYieldAndStoresTheFolder) {
    for (const char* name : {"site/a.htm", "site/b.htm", "site/c.htm"})
        tree.WriteFile(name, Page);
    Load();
    std::size_t yieldsAtClose = 0;
    view.OnYield = [&](std::size_t yield) {
        if (yieldsAtClose == 0 && form->Run().Gauges().FileBarCells != 0 &&
            view.Captions[frmMain_design::lbstate].back().ends_with("b.htm")) {
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
    view.DriveShown = tree.Path("gone");
    form->Drive1_Change();
    std::filesystem::remove(tree.Path("usb/photos"));
    form->Dir1_Open(form->Dir1().lines.size() - 1); // photos
    form->OpenFolder(tree.Path("missing"));
    EXPECT_EQ(Dir1(), usb);
    const auto failed = [](const std::filesystem::path& path) {
        return PathToUtf8(path) + ": " + SystemWords(Fault::NoSuchFile) + " [Velnor] 000";
    };
    EXPECT_EQ(view.Boxes(),
              (std::vector<std::string>{failed(tree.Path("gone")), failed(usb / "photos"),
                                        failed(tree.Path("missing"))}));
    form->Form_Unload();
    EXPECT_EQ(Remembered(), PathToUtf8(usb));
}

} // namespace
} // namespace velnor::test
