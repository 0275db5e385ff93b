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

TEST(frmAboutTest, WithoutTheToolTheMessageShowsModallyOverTheBoxWhichStaysOpen) {
    ScriptedSysInfo scripted("");
    SysInfoServices services = scripted.Services();
    services.showMessage = nullptr; // the real box
    frmAbout box(services);
    BoxAnswerer answerer(IDOK, [&](HWND) {});
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
