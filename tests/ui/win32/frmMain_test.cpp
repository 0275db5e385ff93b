#include "tests/ui/win32/window_fixture.h"
#include "ui/win32/message_box.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace velnor::test {
namespace {

using namespace frmMain_design;

const char* const Page = "<p>\r\n    Hello,   world  </p>\r\n\r\n<b> x </b>   y\r\n";
const char* const Compacted = "<p>Hello,world</p><b>x</b>y";

// Long enough that a click posted at its third character is handled, at the
// pump's next look at the queue, before the page is done.
std::string Repeated(const std::string& text) {
    std::string repeated;
    for (int i = 0; i < 200; ++i)
        repeated += text;
    return repeated;
}
const std::string BigPage = Repeated(Page);

TEST_F(WindowFixture, TabWalksTheDesignedFocusOrderFromDrive1AndBack) {
    MakeWindow();
    for (std::size_t step = 0; step <= FocusOrder.size(); ++step) {
        const auto expected = FocusOrder[step % FocusOrder.size()];
        ASSERT_EQ(GetFocus(), Control(expected)) << Controls()[expected].name;
        MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
        EXPECT_TRUE(window->HandleDialogKeys(tab));
    }
    EXPECT_EQ(window->ExtensionText(), "htm|html|asp"); // Tab is never typed
}

// A page folder "site" in a temporary tree, remembered, so the window opens on it.
class MainWindowButtons : public WindowFixture {
protected:
    MainWindowButtons() {
        tree.MakeFolder("site");
        Remembered() = Site();
    }
    std::string Site() const { return Utf8(tree.Path("site").native()); }
};

// Each control's event reaches its procedure in the form, and each read the
// form makes names its own control: Enter and a double-click open a line of Dir1.
TEST_F(MainWindowButtons, EachEventReachesTheFormAndEachReadItsControl) {
    tree.MakeFolder("usb/photos");
    tree.WriteFile("usb/a.htm", "a b\r\nc");
    const std::filesystem::path usb = tree.Path("usb");
    MakeWindow({.drives = [&] {
        return std::vector<DriveEntry>{{std::filesystem::current_path().root_path(), L"DATA"},
                                       {usb, L""}};
    }});
    Press(Check1);
    Press(Check4);
    EXPECT_EQ((std::array{window->RemoveSpacesTicked(), window->RemoveBreaksTicked(),
                          window->BackupTicked()}),
              (std::array{false, true, false}));
    Press(Check1);
    Press(Check2);
    EXPECT_EQ((std::array{window->RemoveSpacesTicked(), window->RemoveBreaksTicked()}),
              (std::array{true, false}));

    SendMessageW(Control(Drive1), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(Dir1(), usb);
    HWND folders = Control(frmMain_design::Dir1);
    SendMessageW(folders, LB_SETCURSEL, window->Form().Dir1().lines.size() - 1, 0);
    SendMessageW(window->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(folders), LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(folders));
    EXPECT_EQ(Dir1(), usb / "photos");
    SendMessageW(folders, LB_SETCURSEL, window->Form().Dir1().open - 1, 0);
    SetFocus(folders);
    MSG enter{folders, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(window->HandleDialogKeys(enter));
    EXPECT_EQ(Dir1(), usb);

    BoxAnswerer answerer(IDCANCEL);
    Press(Command1);
    EXPECT_EQ(Caption(lbstate), "已经完成任务.");
    EXPECT_EQ(tree.ReadFile("usb/a.htm"), "ab\rc");
    EXPECT_FALSE(std::filesystem::exists(tree.Path("usb.bak")));
    Press(Command2);
    Press(Command3);
    ASSERT_EQ(answerer.boxes.size(), 2u);
    EXPECT_EQ(answerer.boxes[0].text, "你确定要还原备份文件吗?");
    EXPECT_EQ(answerer.boxes[1].title, "关于 Velnor");
    SendMessageW(window->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(Remembered(), Utf8(usb.native()));
    EXPECT_EQ(exitCodes, std::vector<int>{0});
    EXPECT_FALSE(IsWindowVisible(window->Handle()));
}

// A label takes the size of its new caption and is on the screen before the
// call returns, whether it grew or shrank; a gauge's cell is 90 twips wide.
TEST_F(WindowFixture, ACaptionResizesItsLabelAndIsOnTheScreenAtOnce) {
    MakeWindow();
    Settle();
    // How many pixels of box on the screen show anything but the form's face.
    const auto inked = [&](const RECT& box) {
        const Image shown = Grab(window->Handle());
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        const std::uint32_t background =
            GetRValue(face) << 16 | GetGValue(face) << 8 | GetBValue(face);
        int count = 0;
        for (LONG y = box.top; y < box.bottom; ++y)
            for (LONG x = box.left; x < box.right; ++x)
                count += shown.pixels[static_cast<std::size_t>(y) * shown.width + x] != background;
        return count;
    };
    const RECT designed = Box(Control(lbstate));
    EXPECT_GT(inked(designed), 0);
    window->Form().SetStatus("正在工作: C:\\srv\\网站\\index.htm");
    const RECT grown = Box(Control(lbstate));
    ASSERT_GT(grown.right, designed.right);
    EXPECT_GT(inked({designed.right, grown.top, grown.right, grown.bottom}), 0);
    window->Form().SetStatus("");
    EXPECT_EQ(Box(Control(lbstate)).right, designed.left);
    EXPECT_EQ(inked(grown), 0);
    window->Form().SetGaugeCells(Gauge::FileBar, 60);
    EXPECT_EQ(Box(Control(sp1)).right, 48 + 360);
    window->Form().SetGaugeCells(Gauge::FileBar, 1);
    EXPECT_EQ(Box(Control(sp1)).right, 48 + 6);
    EXPECT_EQ(Caption(sp1), "|");
}

// Buttons, icon, default button, text and title as asked; the button pressed comes back.
TEST(MessageBoxTest, ShowsTheBoxAsAskedAndAnswersTheButtonPressed) {
    const std::tuple<MessageBoxRequest, BoxSeen, int, MessageAnswer> cases[] = {
        {{"a", "t", MessageButtons::YesNo, MessageIcon::None, MessageAnswer::Yes},
         {"a", "t", {IDYES, IDNO}, 0, IDYES},
         IDNO,
         MessageAnswer::No},
        {{"a", "", MessageButtons::OkCancel, MessageIcon::Critical, MessageAnswer::Cancel},
         {"a", "Velnor", {IDOK, IDCANCEL}, MB_ICONHAND, IDCANCEL},
         IDCANCEL,
         MessageAnswer::Cancel},
        {{"a", "t", MessageButtons::Ok, MessageIcon::Exclamation, MessageAnswer::Ok},
         {"a", "t", {IDOK}, MB_ICONEXCLAMATION, IDOK},
         IDOK,
         MessageAnswer::Ok},
    };
    for (const auto& [asked, seen, press, answer] : cases) {
        BoxAnswerer answerer(press);
        EXPECT_EQ(ShowMessageBox(nullptr, asked), answer);
        EXPECT_EQ(answerer.boxes, std::vector<BoxSeen>{seen});
    }
}

// Modal and without an owner, the About box disables the main window and holds
// the run at its yield until it closes; then the run goes on.
TEST_F(MainWindowButtons, AboutOpenedDuringARunHoldsItUntilClosed) {
    tree.WriteFile("site/page.htm", BigPage);
    MakeWindow();
    Press(Check4); // unticked
    std::size_t yieldsWhileOpen = 1;
    std::string pageWhileOpen;
    bool mainEnabled = true;
    BoxAnswerer answerer(IDOK, [&](HWND about) {
        EXPECT_EQ(GetWindow(about, GW_OWNER), nullptr);
        mainEnabled = IsWindowEnabled(window->Handle());
        const std::size_t yieldsAtOpen = window->Yields;
        MSG message;
        for (int i = 0; i < 20; ++i)
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
        yieldsWhileOpen = window->Yields - yieldsAtOpen;
        pageWhileOpen = tree.ReadFile("site/page.htm");
    });
    // At the third character step: sp1 lights its first cell at the first.
    window->OnYield = [this, steps = 0](std::size_t) mutable {
        if (window->Form().Run().Gauges().FileBarCells != 0 && ++steps == 3)
            PostMessageW(Control(Command3), BM_CLICK, 0, 0);
    };
    Press(Command1);

    ASSERT_EQ(answerer.boxes.size(), 1u);
    EXPECT_EQ(answerer.boxes[0].title, "关于 Velnor");
    EXPECT_FALSE(mainEnabled);
    EXPECT_TRUE(IsWindowEnabled(window->Handle()));
    EXPECT_EQ(yieldsWhileOpen, 0u);
    EXPECT_EQ(pageWhileOpen, BigPage);
    EXPECT_EQ(tree.ReadFile("site/page.htm"), Repeated(Compacted));
    EXPECT_EQ(Caption(lbstate), "已经完成任务.");
}

// The close waits at most one look at the queue, and no longer than the next repaint.
TEST_F(MainWindowButtons, AClosePostedDuringARunIsHandledAtThePumpsNextLook) {
    tree.WriteFile("site/a.htm", BigPage);
    MakeWindow();
    std::size_t yieldsAtClose = 0;
    int cellsAtClose = 0;
    window->OnYield = [&](std::size_t yield) {
        if (yieldsAtClose == 0 && window->Form().Run().Gauges().FileBarCells != 0) {
            yieldsAtClose = yield;
            cellsAtClose = window->Form().Run().Gauges().FileBarCells;
            PostMessageW(window->Handle(), WM_CLOSE, 0, 0);
        }
    };
    Press(Command1);

    ASSERT_NE(yieldsAtClose, 0u);
    EXPECT_LE(window->Yields - yieldsAtClose, MessagePump::PassesPerLook);
    EXPECT_LE(window->Form().Run().Gauges().FileBarCells, cellsAtClose + 1);
    EXPECT_EQ(exitCodes, std::vector<int>{0});
    EXPECT_EQ(tree.ReadFile("site/a.htm"), BigPage);
}

} // namespace
} // namespace velnor::test
