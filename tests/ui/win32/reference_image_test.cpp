#include "tests/core/about/sys_info_fixture.h"
#include "tests/ui/win32/window_fixture.h"
#include "ui/win32/frmAbout.h"

#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace velnor::test {
namespace {

// GDI+ writes and reads the PNG files, from the first test to the last.
class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        const Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

private:
    ULONG_PTR token_ = 0;
};

::testing::Environment* const TheGdiplusEnvironment =
    ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

// GDI+'s PNG encoder, as Windows names it.
const CLSID PngEncoder = {
    0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

bool Save(Image image, const std::wstring& path) {
    for (std::uint32_t& pixel : image.pixels)
        pixel |= 0xFF000000;
    Gdiplus::Bitmap bitmap(image.width, image.height, image.width * 4, PixelFormat32bppARGB,
                           reinterpret_cast<BYTE*>(image.pixels.data()));
    return bitmap.Save(path.c_str(), &PngEncoder, nullptr) == Gdiplus::Ok;
}

Image Load(const std::wstring& path) {
    Gdiplus::Bitmap bitmap(path.c_str());
    Image image{static_cast<int>(bitmap.GetWidth()), static_cast<int>(bitmap.GetHeight()), {}};
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    Gdiplus::BitmapData data{};
    const Gdiplus::Rect all(0, 0, image.width, image.height);
    if (image.pixels.empty() || bitmap.LockBits(&all, Gdiplus::ImageLockModeRead,
                                                PixelFormat32bppRGB, &data) != Gdiplus::Ok)
        return {};
    for (int y = 0; y < image.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const BYTE*>(data.Scan0) + static_cast<std::ptrdiff_t>(y) * data.Stride);
        for (int x = 0; x < image.width; ++x)
            image.pixels[static_cast<std::size_t>(y) * image.width + x] = row[x] & 0xFFFFFF;
    }
    bitmap.UnlockBits(&data);
    return image;
}

// The windows as designed, pinned without restating their tables: each is
// shown under Wine in the virtual X server at 96 dpi, read back from the
// screen and compared pixel for pixel with the image committed beside this
// file, so a caption or a place changed in a table fails here.
// VELNOR_RENEW_IMAGES=1 writes the images read over the committed ones, and
// fails: look at them, then commit them.
void ExpectLooksAsCommitted(HWND window, const char* name) {
    ASSERT_EQ(GetDpiForWindow(window), 96u);
    Settle();
    const Image shown = Grab(window);
    const std::wstring path = Wide(std::string(VELNOR_REFERENCE_IMAGES "/") + name + ".png");
    if (std::getenv("VELNOR_RENEW_IMAGES")) {
        ASSERT_TRUE(Save(shown, path)) << Utf8(path);
        FAIL() << "renewed " << Utf8(path) << ": look at it, then commit it";
    }
    const Image committed = Load(path);
    ASSERT_EQ(std::pair(shown.width, shown.height), std::pair(committed.width, committed.height))
        << Utf8(path);
    RECT differing{shown.width, shown.height, 0, 0};
    for (int y = 0; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x)
            if (const std::size_t at = static_cast<std::size_t>(y) * shown.width + x;
                shown.pixels[at] != committed.pixels[at])
                differing = {std::min<LONG>(differing.left, x), std::min<LONG>(differing.top, y),
                             std::max<LONG>(differing.right, x + 1),
                             std::max<LONG>(differing.bottom, y + 1)};
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
    EXPECT_EQ(Utf8(TextOf(window->Handle())), "Velnor"); // the title bar is not drawn
    EXPECT_NE(SendMessageW(window->Handle(), WM_GETICON, ICON_SMALL, 0), 0);
}

TEST(ReferenceImageAbout, frmAboutLooksAsCommitted) {
    ScriptedSysInfo sysInfo("");
    frmAbout box(sysInfo.Services());
    box.Show([](frmAbout& about) {
        ExpectLooksAsCommitted(about.Handle(), "frmAbout");
        EndDialog(about.Handle(), IDOK);
    });
}

} // namespace
} // namespace velnor::test
