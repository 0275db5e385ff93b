#include "tests/ui/win32/window_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace velnor::test {
namespace {

using namespace frmMain_design;
using Id = frmMain_design::Control;

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

// At 96 dpi a pixel is 15 twips, a frame's controls placed from its corner;
// auto-size labels, the wrapped help and the drop-down size to their contents.
TEST_F(WindowFixture, EveryControlIsBuiltAsDesignedInItsPlaceAt96Dpi) {
    MakeWindow();
    ASSERT_EQ(GetDpiForWindow(window->Handle()), 96u);
    RECT client;
    GetClientRect(window->Handle(), &client);
    EXPECT_EQ(std::tuple(client.right, client.bottom), std::tuple(530, 396)); // 7950 x 5940 twips
    EXPECT_EQ(Utf8(TextOf(window->Handle())), "Velnor");
    EXPECT_NE(SendMessageW(window->Handle(), WM_GETICON, ICON_SMALL, 0), 0);
    const auto rgb = [](const auto& colour) {
        return RGB(colour->red, colour->green, colour->blue);
    };
    HDC dc = CreateCompatibleDC(nullptr);
    for (int id = 0; id < ControlCount; ++id) {
        const design::ControlDesign& design = Controls()[id];
        SCOPED_TRACE(design.name);
        HWND control = Control(Id(id));
        design::TwipsBox place = design.place;
        if (design.container != design::OnForm) {
            place.left += Controls()[design.container].place.left;
            place.top += Controls()[design.container].place.top;
        }
        const RECT box = Box(control);
        EXPECT_EQ(std::tuple(box.left, box.top), std::tuple(place.left / 15, place.top / 15));
        if (!design.autoSize) {
            EXPECT_EQ(box.right, (place.left + place.width) / 15);
        }
        if (!design.autoSize && !design.wordWrap && design.kind != design::ControlKind::DriveList) {
            EXPECT_EQ(box.bottom, (place.top + place.height) / 15);
        }
        const bool ticked = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        EXPECT_EQ(ticked, design.ticked);
        if (design.kind != design::ControlKind::DriveList &&
            design.kind != design::ControlKind::DirectoryList && design.caption[0] != '|') {
            EXPECT_EQ(Caption(Id(id)), id == yasuoLv ? "0%" : design.caption);
        }
        if (design.kind == design::ControlKind::Label) { // the colours it is drawn in
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            SendMessageW(window->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(control));
            EXPECT_EQ(GetTextColor(dc),
                      design.textColour ? rgb(design.textColour) : GetSysColor(COLOR_WINDOWTEXT));
            EXPECT_EQ(GetBkColor(dc),
                      design.backColour ? rgb(design.backColour) : GetSysColor(COLOR_BTNFACE));
        }
    }
    DeleteDC(dc);
    // The next cell lit is the first, and sixty cells span 5400 twips.
    window->Run().Gauges().UpdateFileBar(100);
    EXPECT_EQ(Caption(sp1), "|");
    window->SetGaugeCells(Gauge::FileBar, 60);
    EXPECT_EQ(Box(Control(sp1)).right, 48 + 360);
}

TEST_F(WindowFixture, TabWalksTheDesignedFocusOrderFromDrive1AndBack) {
    MakeWindow();
    for (std::size_t step = 0; step <= FocusOrder.size(); ++step) {
        const Id expected = FocusOrder[step % FocusOrder.size()];
        ASSERT_EQ(GetFocus(), Control(expected)) << Controls()[expected].name;
        MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
        EXPECT_TRUE(window->HandleDialogKeys(tab));
    }
    EXPECT_EQ(window->ExtensionText(), "htm|html|asp"); // Tab is never typed
}

// Silently; Drive1 keeps the drive of the current folder whatever Dir1 shows.
TEST_F(WindowFixture, Dir1ShowsTheStoredFolderIfItOpensElseTheCurrentOneAndCloseStoresIt) {
    tree.MakeFolder("site/news");
    const std::filesystem::path current = std::filesystem::current_path();
    const std::tuple<const char*, std::filesystem::path, std::filesystem::path> cases[] = {
        {"a folder that is gone", tree.Path("deleted"), current},
        {"a folder elsewhere", tree.Path("site"), tree.Path("site")}};
    for (const auto& [what, stored, shown] : cases) {
        SCOPED_TRACE(what);
        settings = std::make_shared<MemorySettings>();
        exitCodes.clear();
        Remembered() = Utf8(stored.native());
        BoxAnswerer answerer;
        MakeWindow();
        EXPECT_EQ(window->FolderPath(), shown);
        EXPECT_EQ(window->Drives().Drive(), current.root_path());
        SendMessageW(window->Handle(), WM_CLOSE, 0, 0);
        EXPECT_EQ(Remembered(), Utf8(shown.native()));
        EXPECT_EQ(exitCodes, std::vector<int>{0});
        EXPECT_TRUE(answerer.boxes.empty());
    }
}

// What the system says of a folder that cannot be listed, "" if it can.
std::string ListingError(const std::filesystem::path& folder) {
    try {
        MakeFileSystem()->OpenFolder(folder)->List();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "";
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

// The boxes as this toolkit shows them: a second Start asks before it overwrites
// the backup, and Restore asks, then tells it is done.
TEST_F(MainWindowButtons, StartAndRestoreShowTheirBoxesWithTheirButtonsAndIcons) {
    tree.WriteFile("site/index.htm", Page);
    MakeWindow();
    {
        BoxAnswerer answerer(IDNO);
        Press(Command1); // asks nothing: there is no backup yet
        Press(Command1);
        const BoxSeen asked{
            Site() + ".bak 已经存在,是否继续?", "覆盖文件", {IDYES, IDNO}, 0, IDYES};
        EXPECT_EQ(answerer.boxes, std::vector<BoxSeen>{asked});
    }
    BoxAnswerer answerer(IDOK);
    Press(Command2);
    const BoxSeen asked{"你确定要还原备份文件吗?", "Velnor", {IDOK, IDCANCEL}, 0, IDOK};
    const BoxSeen done{"文件已经全部还原.", "Velnor", {IDOK}, MB_ICONEXCLAMATION, IDOK};
    EXPECT_EQ(answerer.boxes, (std::vector<BoxSeen>{asked, done}));
    EXPECT_EQ(tree.ReadFile("site/index.htm"), Page);
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
        if (window->Run().Gauges().FileBarCells != 0 && ++steps == 3)
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

TEST_F(MainWindowButtons, ClosingDuringARunStopsItAtItsYieldAndStoresTheFolder) {
    tree.WriteFile("site/a.htm", Page);
    tree.WriteFile("site/b.htm", BigPage);
    tree.WriteFile("site/c.htm", Page);
    MakeWindow();
    std::size_t yieldsAtClose = 0;
    int cellsAtClose = 0;
    window->OnYield = [&](std::size_t yield) {
        if (yieldsAtClose == 0 && Caption(lbstate).ends_with("b.htm") &&
            window->Run().Gauges().FileBarCells != 0) {
            yieldsAtClose = yield;
            cellsAtClose = window->Run().Gauges().FileBarCells;
            PostMessageW(window->Handle(), WM_CLOSE, 0, 0);
        }
    };
    Press(Command1);

    ASSERT_NE(yieldsAtClose, 0u);
    // The close waits at most one look at the queue, and no longer than the next repaint.
    EXPECT_LE(window->Yields - yieldsAtClose, MessagePump::PassesPerLook);
    EXPECT_LE(window->Run().Gauges().FileBarCells, cellsAtClose + 1);
    EXPECT_EQ(Remembered(), Site());
    EXPECT_EQ(exitCodes, std::vector<int>{0});
    EXPECT_EQ(tree.ReadFile("site/b.htm"), BigPage);
    EXPECT_FALSE(window->Run().Running());
}

// In the system's words; Drive1 keeps the pick.
TEST_F(MainWindowButtons, ADriveThatCannotBeOpenedIsReportedAndDir1Stays) {
    const std::filesystem::path absent = L"Q:\\";
    const std::string description = ListingError(absent);
    ASSERT_FALSE(description.empty());
    const std::filesystem::path current = std::filesystem::current_path().root_path();
    BoxAnswerer answerer;
    MakeWindow({.drives = [&] {
        return std::vector<DriveEntry>{{current, L"DATA"}, {absent, L""}};
    }});
    SendMessageW(Control(frmMain_design::Drive1), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(window->FolderPath(), tree.Path("site"));
    EXPECT_EQ(window->Drives().Drive(), absent);
    EXPECT_EQ(answerer.boxes, (std::vector<BoxSeen>{{description, "Velnor", {IDOK}, 0, IDOK}}));
}

// The folder of the command line: in the literal form the folder it names; one
// that cannot be opened is reported in the system's words, and Dir1 stays.
TEST_F(MainWindowButtons, AFolderToOpenIsShownOrReportedAndDir1Stays) {
    tree.MakeFolder("other");
    const std::filesystem::path missing = tree.Path("missing");
    const std::string description = ListingError(missing);
    ASSERT_FALSE(description.empty());
    MakeWindow();
    BoxAnswerer answerer;
    window->OpenFolder(L"\\\\?\\" + tree.Path("other").native() + L"\\");
    EXPECT_EQ(window->FolderPath(), tree.Path("other"));
    window->OpenFolder(missing);
    EXPECT_EQ(window->FolderPath(), tree.Path("other"));
    EXPECT_EQ(answerer.boxes, (std::vector<BoxSeen>{{description, "Velnor", {IDOK}, 0, IDOK}}));
}

TEST_F(MainWindowButtons, AFailedStoreAtCloseIsReportedAndTheProgramStillEnds) {
    settings->failWrites = "HKEY_CURRENT_USER\\Software: access denied";
    MakeWindow();
    BoxAnswerer answerer;
    SendMessageW(window->Handle(), WM_CLOSE, 0, 0);
    const BoxSeen failed{settings->failWrites, "Velnor", {IDOK}, MB_ICONHAND, IDOK};
    EXPECT_EQ(answerer.boxes, std::vector<BoxSeen>{failed});
    EXPECT_EQ(exitCodes, std::vector<int>{1});
}

} // namespace
} // namespace velnor::test
