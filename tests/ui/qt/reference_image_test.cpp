#include "tests/core/about/sys_info_fixture.h"
#include "tests/ui/qt/ui_fixture.h"
#include "ui/qt/drive_list.h"
#include "ui/qt/frmAbout.h"

#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

namespace velnor::test {
namespace {

// The windows as designed, pinned without restating their tables: each is
// drawn offscreen at 96 dpi and compared pixel for pixel with the image
// committed beside this file, so a caption or a place changed in a table
// fails here. VELNOR_RENEW_IMAGES=1 writes the images drawn over the committed
// ones, and fails: look at them, then commit them.
void ExpectLooksAsCommitted(QWidget& window, const char* name) {
    ASSERT_EQ(window.logicalDpiX(), 96);
    ASSERT_EQ(window.logicalDpiY(), 96);
    ASSERT_EQ(window.devicePixelRatio(), 1.0);
    const QImage drawn = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QString path = QDir(VELNOR_REFERENCE_IMAGES).filePath(QString(name) + ".png");
    if (qEnvironmentVariableIsSet("VELNOR_RENEW_IMAGES")) {
        ASSERT_TRUE(drawn.save(path)) << path.toStdString();
        FAIL() << "renewed " << path.toStdString() << ": look at it, then commit it";
    }
    const QImage committed = QImage(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(drawn.size(), committed.size()) << path.toStdString();
    QRect differing;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if (drawn.pixel(x, y) != committed.pixel(x, y))
                differing |= QRect(x, y, 1, 1);
    EXPECT_TRUE(differing.isEmpty())
        << name << " differs from " << path.toStdString() << " within " << differing.width() << "x"
        << differing.height() << " pixels from (" << differing.x() << ", " << differing.y() << ")";
}

using ReferenceImage = WindowFixture;

// As a run shows it, set through the form as a run sets it; Drive1 and Dir1
// show a drive and folders of no machine in particular.
TEST_F(ReferenceImage, frmMainLooksAsCommitted) {
    MakeWindow();
    Find<DriveList>("Drive1")->SetDrive("/");
    window->ShowFolders({"/srv/网站",
                         {{"/", "/", 0},
                          {"/srv", "srv", 1},
                          {"/srv/网站", "网站", 2},
                          {"/srv/网站/css", "css", 3},
                          {"/srv/网站/Images", "Images", 3}},
                         2});
    window->Form().SetStatus("正在工作: /srv/网站/index.htm");
    window->Form().SetRatio(74);
    window->Form().SetGaugeCells(Gauge::FileBar, 60);
    window->Form().SetGaugeCells(Gauge::PackBar, 45);
    ExpectLooksAsCommitted(*window, "frmMain");
    EXPECT_EQ(window->windowTitle(), "Velnor"); // the title bar is not drawn
    EXPECT_FALSE(window->windowIcon().isNull());
}

// Opened fixed at its designed place, under its caption.
TEST(ReferenceImageAbout, frmAboutLooksAsCommitted) {
    ScriptedSysInfo sysInfo("");
    frmAbout box(sysInfo.Services());
    ExpectLooksAsCommitted(box, "frmAbout");
    EXPECT_EQ(box.geometry(), QRect(156, 129, 382, 237)); // 2340, 1935, 5730 x 3555 twips
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    EXPECT_EQ(box.windowTitle(), "关于 Velnor");
}

} // namespace
} // namespace velnor::test
