#include "tests/core/about/sys_info_fixture.h"
#include "tests/ui/win32/window_fixture.h"
#include "ui/win32/frmAbout.h"

#include <gdiplus.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace velnor::test {
namespace {

// GDI+ writes and reads the PNG files; started once, for the whole run.
void StartGdiplus() {
    static const Gdiplus::Status started = [] {
        ULONG_PTR token = 0;
        const Gdiplus::GdiplusStartupInput input;
        return Gdiplus::GdiplusStartup(&token, &input, nullptr);
    }();
    ASSERT_EQ(started, Gdiplus::Ok);
}

// GDI+'s PNG encoder, as Windows names it.
const CLSID PngEncoder = {
    0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

// The window's client area as it has been drawn so far.
std::unique_ptr<Gdiplus::Bitmap> Grab(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    auto grabbed = std::make_unique<Gdiplus::Bitmap>(bitmap, nullptr); // a copy
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return grabbed;
}

std::uint32_t Rgb(Gdiplus::Bitmap& image, int x, int y) {
    Gdiplus::Color colour;
    image.GetPixel(x, y, &colour);
    return colour.GetValue() & 0xFFFFFF;
}

// The windows as designed, pinned without restating their tables: each is
// shown under Wine in the virtual X server at 96 dpi, read back from the
// screen and compared pixel for pixel with the image committed beside this
// file, so a caption or a place changed in a table fails here.
// VELNOR_RENEW_IMAGES=1 writes the images read over the committed ones, and
// fails: look at them, then commit them.
void ExpectLooksAsCommitted(HWND window, const char* name) {
    StartGdiplus();
    ASSERT_EQ(GetDpiForWindow(window), 96u);
    Settle();
    const std::unique_ptr<Gdiplus::Bitmap> shown = Grab(window);
    const std::wstring path = Wide(std::string(VELNOR_REFERENCE_IMAGES "/") + name + ".png");
    if (std::getenv("VELNOR_RENEW_IMAGES")) {
        ASSERT_EQ(shown->Save(path.c_str(), &PngEncoder, nullptr), Gdiplus::Ok) << Utf8(path);
        FAIL() << "renewed " << Utf8(path) << ": look at it, then commit it";
    }
    Gdiplus::Bitmap committed(path.c_str());
    const LONG width = static_cast<LONG>(shown->GetWidth());
    const LONG height = static_cast<LONG>(shown->GetHeight());
    ASSERT_EQ(std::pair(committed.GetWidth(), committed.GetHeight()),
              std::pair(shown->GetWidth(), shown->GetHeight()))
        << Utf8(path);
    RECT differing{width, height, 0, 0};
    for (LONG y = 0; y < height; ++y)
        for (LONG x = 0; x < width; ++x)
            if (Rgb(*shown, x, y) != Rgb(committed, x, y))
                differing = {std::min(differing.left, x), std::min(differing.top, y),
                             std::max(differing.right, x + 1), std::max(differing.bottom, y + 1)};
    EXPECT_TRUE(IsRectEmpty(&differing))
        << name << " differs from " << Utf8(path) << " from (" << differing.left << ", "
        << differing.top << ") to (" << differing.right << ", " << differing.bottom << ")";
}

using ReferenceImage = WindowFixture;

// As a run shows it, set through the form as a run sets it; Drive1 and Dir1
// show a drive and folders of no machine in particular (Drive1 starts on the
// current folder's drive).
TEST_F(ReferenceImage, frmMainLooksAsCommitted) {
    const std::filesystem::path current = std::filesystem::current_path();
    std::filesystem::current_path(L"C:\\");
    MakeWindow({.drives = [] {
        return std::vector<DriveEntry>{{L"C:\\", L"DATA"}};
    }});
    std::filesystem::current_path(current);
    window->ShowFolders({L"C:\\srv\\网站",
                         {{L"C:\\", "C:\\", 0},
                          {L"C:\\srv", "srv", 1},
                          {L"C:\\srv\\网站", "网站", 2},
                          {L"C:\\srv\\网站\\css", "css", 3},
                          {L"C:\\srv\\网站\\Images", "Images", 3}},
                         2});
    window->Form().SetStatus("正在工作: C:\\srv\\网站\\index.htm");
    window->Form().SetRatio(74);
    window->Form().SetGaugeCells(Gauge::FileBar, 60);
    window->Form().SetGaugeCells(Gauge::PackBar, 45);
    ExpectLooksAsCommitted(window->Handle(), "frmMain");
    EXPECT_EQ(Utf8(ControlText(window->Handle())), "Velnor"); // the title bar is not drawn
}

// Opened at its designed place (2340, 1935 twips), fixed, with the close box only.
TEST(ReferenceImageAbout, frmAboutLooksAsCommitted) {
    ScriptedSysInfo sysInfo("");
    frmAbout box(sysInfo.Services());
    box.Show([](frmAbout& about) {
        ExpectLooksAsCommitted(about.Handle(), "frmAbout");
        POINT corner{0, 0};
        ClientToScreen(about.Handle(), &corner);
        EXPECT_EQ(std::pair(corner.x, corner.y), std::pair(156L, 129L));
        EXPECT_EQ(GetWindowLongW(about.Handle(), GWL_STYLE) &
                      (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_SYSMENU),
                  WS_SYSMENU);
        EXPECT_EQ(Utf8(ControlText(about.Handle())), "关于 Velnor");
        EndDialog(about.Handle(), IDOK);
    });
}

} // namespace
} // namespace velnor::test
