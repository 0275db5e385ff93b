#include "ui/win32/frmAbout.h"

#include "tests/core/about/sys_info_fixture.h"
#include "tests/ui/win32/window_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace velnor::test {
namespace {

using namespace frmAbout_design;
using Id = frmAbout_design::Control;

const std::string Hardinfo = MsinfoKey + "\"PATH\"=\"C:\\\\hardinfo.exe\"";

TEST(frmAboutTest, ShowsTheLoadedTextsInTheirPlacesAt96Dpi) {
    ScriptedSysInfo sysInfo("");
    frmAbout box(sysInfo.Services());
    bool opened = false;
    box.Show([&](frmAbout& about) {
        opened = true;
        HWND dialog = about.Handle();
        ASSERT_EQ(GetDpiForWindow(dialog), 96u);
        EXPECT_EQ(Utf8(TextOf(dialog)), "关于 Velnor");
        RECT client;
        GetClientRect(dialog, &client);
        POINT corner{0, 0};
        ClientToScreen(dialog, &corner);
        // 2340, 1935, 5730 x 3555 twips; fixed, with the close box only.
        EXPECT_EQ(std::tuple(corner.x, corner.y, client.right, client.bottom),
                  std::tuple(156, 129, 382, 237));
        const LONG style = GetWindowLongW(dialog, GWL_STYLE);
        EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_SYSMENU),
                  WS_SYSMENU);
        EXPECT_EQ(GetFocus(), about.Control(cmdOK));
        // At 96 dpi a pixel is 15 twips; labels widen to show all their text.
        for (int id = 0; id < ControlCount; ++id) {
            const design::ControlDesign& d = Controls()[id];
            SCOPED_TRACE(d.name);
            const std::string name = d.name;
            EXPECT_EQ(Utf8(TextOf(about.Control(Id(id)))), name == "lblTitle"     ? "Velnor"
                                                           : name == "lblVersion" ? "版本 1.0.0"
                                                                                  : d.caption);
            const RECT shown = Box(about.Control(Id(id)));
            EXPECT_EQ(std::tuple(shown.left, shown.top),
                      std::tuple(d.place.left / 15, d.place.top / 15));
            if (d.kind == design::ControlKind::Button) {
                EXPECT_EQ(shown.right, (d.place.left + d.place.width) / 15);
            } else {
                EXPECT_GE(shown.right, (d.place.left + d.place.width) / 15);
            }
            if (!d.autoSize) {
                EXPECT_EQ(shown.bottom, (d.place.top + d.place.height) / 15);
            }
        }
        EndDialog(dialog, IDOK);
    });
    EXPECT_TRUE(opened);
    EXPECT_EQ(box.Handle(), nullptr);
}

// Keys posted one at a time from a thread timer, which fires only once the box's
// loop has handled everything before; then a look whether it is open, and a close.
struct KeyScript {
    std::vector<MSG> keys;
    HWND dialog = nullptr;
    std::size_t next = 0;
    bool open = false;
    bool done = false;

    static inline KeyScript* current = nullptr;
    static void CALLBACK Step(HWND, UINT, UINT_PTR, DWORD) {
        KeyScript& script = *current;
        if (script.done || !script.dialog)
            return;
        if (script.next < script.keys.size()) {
            const MSG& key = script.keys[script.next++];
            PostMessageW(key.hwnd ? script.dialog : GetFocus(), key.message, key.wParam,
                         key.lParam);
            return;
        }
        script.done = true;
        script.open = IsWindowVisible(script.dialog);
        PostMessageW(script.dialog, WM_COMMAND, IDOK, 0);
    }
};

// Runs a box, presses the keys and tells whether it was still open after them.
bool StaysOpenAfter(frmAbout& box, const std::vector<MSG>& keys) {
    KeyScript script{keys};
    KeyScript::current = &script;
    const UINT_PTR timer = SetTimer(nullptr, 0, 5, &KeyScript::Step);
    box.Show([&](frmAbout& about) { script.dialog = about.Handle(); });
    KillTimer(nullptr, timer);
    return script.open;
}

// The tool is started by Enter on System Information and by Alt+S.
TEST(frmAboutTest, KeysAndTheCloseBoxPressTheirButtons) {
    const MSG esc{nullptr, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    const MSG enter{nullptr, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    const MSG tab{nullptr, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    const MSG altS{nullptr, WM_SYSCHAR, 's', 1 << 29, 0, {}};
    const MSG closeBox{reinterpret_cast<HWND>(1), WM_CLOSE, 0, 0, 0, {}};
    const std::tuple<const char*, std::vector<MSG>, bool> cases[] = {
        {"Esc", {esc}, false},
        {"close box", {closeBox}, false},
        {"Tab, Enter", {tab, enter}, true},
        {"Alt+S", {altS}, true},
    };
    for (const auto& [keys, sequence, staysOpen] : cases) {
        SCOPED_TRACE(keys);
        ScriptedSysInfo sysInfo(Hardinfo);
        frmAbout box(sysInfo.Services());
        EXPECT_EQ(StaysOpenAfter(box, sequence), staysOpen);
        EXPECT_EQ(sysInfo.log, staysOpen ? std::vector<std::string>{"start C:\\hardinfo.exe"}
                                         : std::vector<std::string>{});
    }
}

TEST(frmAboutTest, WithoutTheToolTheMessageShowsModallyOverTheBoxWhichStaysOpen) {
    ScriptedSysInfo scripted("");
    SysInfoServices services = scripted.Services();
    services.showMessage = nullptr; // the real box
    frmAbout box(services);
    HWND owner = nullptr;
    BoxAnswerer answerer(IDOK, [&](HWND) {});
    box.Show([&](frmAbout& about) {
        SendMessageW(about.Control(cmdSysInfo), BM_CLICK, 0, 0);
        EXPECT_TRUE(IsWindowVisible(about.Handle()));
        owner = about.Handle();
        EndDialog(about.Handle(), IDOK);
    });
    const BoxSeen unavailable{Unavailable, "Velnor", {IDOK}, 0, IDOK};
    EXPECT_EQ(answerer.boxes, std::vector<BoxSeen>{unavailable});
    EXPECT_NE(owner, nullptr);
}

} // namespace
} // namespace velnor::test
