#include "ui/win32/frmAbout.h"

#include "tests/core/about/sys_info_fixture.h"
#include "tests/ui/win32/window_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace velnor::test {
namespace {

using namespace frmAbout_design;

const std::string Tool = MsinfoKey + "\"PATH\"=\"C:\\\\MSINFO\\\\MSINFO32.EXE\"";

// As Windows' dialogs do: Enter clicks the focused button (OK at first), Esc
// and the close box click OK, the cancel button too, and Alt+S clicks System
// Information, which leaves the box open.
TEST(frmAboutTest, KeysAndTheCloseBoxClickTheirButtons) {
    using Key = std::pair<UINT, WPARAM>; // the message and its key
    const Key tab{WM_KEYDOWN, VK_TAB};
    const Key enter{WM_KEYDOWN, VK_RETURN};
    const std::tuple<const char*, std::vector<Key>, int> cases[] = {
        {"Esc", {{WM_KEYDOWN, VK_ESCAPE}}, 1},     {"Enter", {enter}, 1},
        {"close box", {{WM_CLOSE, 0}}, 1},         {"Tab, Enter", {tab, enter}, 0},
        {"Tab, Tab, Enter", {tab, tab, enter}, 1}, {"Alt+S", {{WM_SYSCHAR, 's'}}, 0},
    };
    for (const auto& [keys, pressed, unloads] : cases) {
        SCOPED_TRACE(keys);
        ScriptedSysInfo sysInfo(Tool);
        frmAbout box(sysInfo.Services());
        const INT_PTR ended = box.Show([&](frmAbout& about) {
            for (const Key& key : pressed) {
                if (key.first == WM_CLOSE) {
                    SendMessageW(about.Handle(), WM_CLOSE, 0, 0);
                    continue;
                }
                // Bit 29: Alt is down.
                MSG msg{GetFocus(), key.first, key.second, key.first == WM_SYSCHAR ? 1 << 29 : 0,
                        0,          {}};
                EXPECT_TRUE(IsDialogMessageW(about.Handle(), &msg));
            }
            // The close box's click comes as a posted message.
            MSG posted;
            while (PeekMessageW(&posted, about.Handle(), 0, 0, PM_REMOVE))
                DispatchMessageW(&posted);
            if (IsWindowVisible(about.Handle())) // EndDialog hides the box at once
                EndDialog(about.Handle(), IDCANCEL);
        });
        EXPECT_EQ(ended, unloads ? IDOK : IDCANCEL);
        EXPECT_EQ(sysInfo.log, unloads
                                   ? std::vector<std::string>{}
                                   : std::vector<std::string>{"start C:\\MSINFO\\MSINFO32.EXE"});
    }
}

TEST(frmAboutTest, WithoutTheToolTheMessageShowsModallyOverTheBoxWhichStaysOpen) {
    ScriptedSysInfo scripted("");
    SysInfoServices services = scripted.Services();
    services.showMessage = nullptr; // the real box
    frmAbout box(services);
    BoxAnswerer answerer;
    box.Show([&](frmAbout& about) {
        SendMessageW(about.Control(cmdSysInfo), BM_CLICK, 0, 0);
        EXPECT_TRUE(IsWindowVisible(about.Handle()));
        EndDialog(about.Handle(), IDOK);
    });
    const BoxSeen unavailable{Unavailable, "Velnor", {IDOK}, 0, IDOK};
    EXPECT_EQ(answerer.boxes, std::vector<BoxSeen>{unavailable});
}

} // namespace
} // namespace velnor::test
