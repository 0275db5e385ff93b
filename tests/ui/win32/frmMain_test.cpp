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

// Each control's event reaches its procedure in the form, and each read the form
// makes names its own control; Tab walks the designed focus order, and Enter
// and a double-click open a line of Dir1.
TEST_F(WindowFixture, EachEventReachesTheFormAndEachReadItsControl) {
    tree.MakeFolder("usb/photos");
    tree.WriteFile("usb/a.htm", "a b\r\nc");
    const std::filesystem::path usb = tree.Path("usb");
    MakeWindow({.drives = [&] {
        return std::vector<DriveEntry>{{std::filesystem::current_path().root_path(), L""},
                                       {usb, L""}};
    }});
    for (std::size_t step = 0; step <= FocusOrder.size(); ++step) {
        ASSERT_EQ(GetFocus(), Control(FocusOrder[step % FocusOrder.size()])) << step;
        MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
        EXPECT_TRUE(window->HandleDialogKeys(tab));
    }
    EXPECT_EQ(window->ExtensionText(), "htm|html|asp"); // Tab is never typed
    Press(Check2);
    Press(Check4);
    EXPECT_EQ((std::array{window->RemoveSpacesTicked(), window->RemoveBreaksTicked(),
                          window->BackupTicked()}),
              (std::array{true, false, false}));

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
    EXPECT_EQ(tree.ReadFile("usb/a.htm"), "ab\rc");
    EXPECT_FALSE(std::filesystem::exists(tree.Path("usb.bak")));
    Press(Command2);
    Press(Command3);
    ASSERT_EQ(answerer.boxes.size(), 2u);
    EXPECT_EQ(answerer.boxes[0].text, "你确定要还原备份文件吗?");
    EXPECT_EQ(answerer.boxes[1].title, "关于 Velnor");
    SendMessageW(window->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(settings->Remembered(), Utf8(usb.native()));
    EXPECT_EQ(exitCodes, std::vector<int>{0});
    EXPECT_FALSE(IsWindowVisible(window->Handle()));
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

// The pump's look at the queue during a run opens the About box, which is modal
// and without an owner: it disables the main window and holds the run at its
// yield until it closes; then the run goes on.
TEST_F(WindowFixture, AboutOpenedDuringARunHoldsItUntilClosed) {
    const std::string page(3 * MessagePump::PassesPerLook, ' ');
    tree.WriteFile("site/page.htm", page);
    settings->Remembered() = Utf8(tree.Path("site").native());
    MakeWindow();
    Press(Check4); // unticked
    std::size_t yieldsWhileOpen = 1;
    bool mainEnabled = true;
    BoxAnswerer answerer(IDOK, [&](HWND about) {
        EXPECT_EQ(GetWindow(about, GW_OWNER), nullptr);
        mainEnabled = IsWindowEnabled(window->Handle());
        const std::size_t yieldsAtOpen = window->Yields;
        Settle();
        yieldsWhileOpen = window->Yields - yieldsAtOpen;
        EXPECT_EQ(tree.ReadFile("site/page.htm"), page);
    });
    window->OnYield = [this](std::size_t yield) {
        if (yield == 3)
            PostMessageW(Control(Command3), BM_CLICK, 0, 0);
    };
    Press(Command1);
    ASSERT_EQ(answerer.boxes.size(), 1u);
    EXPECT_EQ(answerer.boxes[0].title, "关于 Velnor");
    EXPECT_FALSE(mainEnabled);
    EXPECT_TRUE(IsWindowEnabled(window->Handle()));
    EXPECT_EQ(yieldsWhileOpen, 0u);
    EXPECT_EQ(Caption(lbstate), "已经完成任务.");
}

} // namespace
} // namespace velnor::test
