#include "tests/ui/ui_fixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace velnor::test {
namespace {

class MainWindowLayout : public WindowFixture {
protected:
    MainWindowLayout() { MakeWindow(); }
};

struct CaptionCase {
    const char* name;
    const char* caption;
};

TEST_F(MainWindowLayout, EveryControlShowsItsDesignedCaption) {
    const CaptionCase labels[] = {
        {"Label3", "    在选择目录中设置你要压缩的网页位置,根据你的需要设置压缩项目,"
                   "建议一定要选中备份,最后点执行开始压缩代码"},
        {"Label1", "应用文件"},
        {"Label2", "采取措施"},
        {"lbstate", "准备就绪"},
        {"Label12", "压缩"},
        {"Label10", "压缩成"},
        {"Label9", "文件"},
    };
    for (const auto& label : labels)
        EXPECT_EQ(Find<QLabel>(label.name)->text(), QString::fromUtf8(label.caption)) << label.name;

    const CaptionCase frames[] = {{"选择文件目录", "选择文件目录"}, {"Frame1", "设置"}};
    for (const auto& frame : frames)
        EXPECT_EQ(Find<QGroupBox>(frame.name)->title(), QString::fromUtf8(frame.caption));

    const CaptionCase checks[] = {{"Check1", "把多余空格删除"},
                                  {"Check2", "把多余换行符删除"},
                                  {"Check4", "备份到bak文件夹"}};
    for (const auto& check : checks)
        EXPECT_EQ(Find<QCheckBox>(check.name)->text(), QString::fromUtf8(check.caption));

    const CaptionCase buttons[] = {
        {"Command1", "开始压缩"}, {"Command2", "还原备份"}, {"Command3", "关于程序"}};
    for (const auto& button : buttons)
        EXPECT_EQ(Find<QPushButton>(button.name)->text(), QString::fromUtf8(button.caption));

    EXPECT_EQ(Find<QPlainTextEdit>("Text1")->toPlainText(), "htm|html|asp");
    EXPECT_EQ(window->windowTitle(), "Velnor");
}

TEST_F(MainWindowLayout, ControlsSitInTheirContainers) {
    const auto* folderFrame = Find<QGroupBox>("选择文件目录");
    const auto* settingsFrame = Find<QGroupBox>("Frame1");
    for (const char* name : {"Drive1", "Dir1"})
        EXPECT_EQ(Find<QWidget>(name)->parentWidget(), folderFrame) << name;
    for (const char* name : {"Label1", "Text1", "Label2", "Check1", "Check2", "Check4"})
        EXPECT_EQ(Find<QWidget>(name)->parentWidget(), settingsFrame) << name;
    for (const char* name : {"Label3", "Command1", "Command2", "Command3", "lbstate", "Label12",
                             "sp2", "Label10", "yasuoLv", "Label9", "sp1"})
        EXPECT_EQ(Find<QWidget>(name)->parentWidget(), window.get()) << name;
}

struct PlaceCase {
    const char* name;
    QRect pixels; // the designed twips at 96 dpi
};

TEST_F(MainWindowLayout, ControlsTakeTheirDesignedPlacesAt96Dpi) {
    ASSERT_EQ(window->logicalDpiX(), 96);
    EXPECT_EQ(window->size(), QSize(530, 396));
    const PlaceCase places[] = {
        {"选择文件目录", QRect(16, 56, 225, 265)}, {"Drive1", QRect(16, 24, 193, 20)},
        {"Dir1", QRect(16, 48, 193, 202)},         {"Frame1", QRect(248, 56, 161, 265)},
        {"Label1", QRect(16, 24, 65, 17)},         {"Text1", QRect(16, 40, 129, 49)},
        {"Check1", QRect(16, 120, 129, 17)},       {"Check2", QRect(16, 136, 129, 17)},
        {"Check4", QRect(16, 176, 129, 17)},       {"Command1", QRect(424, 64, 81, 33)},
        {"Command2", QRect(424, 104, 81, 33)},     {"Command3", QRect(424, 144, 81, 33)},
    };
    for (const auto& place : places)
        EXPECT_EQ(Find<QWidget>(place.name)->geometry(), place.pixels) << place.name;
}

TEST_F(MainWindowLayout, AutoSizeLabelsTakeTheSizeOfTheirTextAtTheirDesignedCorner) {
    struct Corner {
        const char* name;
        QPoint topLeft;
    };
    const Corner corners[] = {{"lbstate", {16, 328}},  {"Label12", {16, 352}},
                              {"sp2", {48, 352}},      {"Label10", {424, 352}},
                              {"yasuoLv", {464, 352}}, {"Label9", {16, 368}},
                              {"sp1", {48, 368}}};
    for (const auto& corner : corners) {
        const auto* label = Find<QLabel>(corner.name);
        EXPECT_EQ(label->pos(), corner.topLeft) << corner.name;
        EXPECT_EQ(label->size(), label->sizeHint()) << corner.name;
    }
    // A full-width character is 12 pixels in the window's font.
    EXPECT_EQ(Find<QLabel>("Label10")->width(), 36);

    window->SetStatus("正在工作: /a/much/longer/path/than/before.htm");
    EXPECT_EQ(Find<QLabel>("lbstate")->size(), Find<QLabel>("lbstate")->sizeHint());
    EXPECT_GT(Find<QLabel>("lbstate")->width(), 200);
}

TEST_F(MainWindowLayout, FullGaugeSpansItsDesignedWidthBeforeTheRatioCaption) {
    const std::string full(60, '|');
    window->SetGaugeCaption(Gauge::PackBar, full);
    window->SetGaugeCaption(Gauge::FileBar, full);
    for (const char* name : {"sp1", "sp2"}) {
        const auto* gauge = Find<QLabel>(name);
        EXPECT_EQ(gauge->width(), 360) << name; // 5400 twips
        EXPECT_LT(gauge->geometry().right(), Find<QLabel>("Label10")->x()) << name;
    }
}

TEST_F(MainWindowLayout, HelpTextWrapsOntoTwoLinesInsideItsBox) {
    const auto* help = Find<QLabel>("Label3");
    EXPECT_TRUE(help->wordWrap());
    EXPECT_EQ(help->geometry().topLeft(), QPoint(16, 16));
    EXPECT_EQ(help->width(), 401);
    EXPECT_EQ(help->height(), std::max(25, help->heightForWidth(401)));
    EXPECT_GT(help->heightForWidth(401), help->fontMetrics().height()); // two lines
    EXPECT_LT(help->geometry().bottom(), Find<QGroupBox>("Frame1")->y());
}

TEST_F(MainWindowLayout, GaugesAreRedAndBlueOnLightGrey) {
    const auto* pack = Find<QLabel>("sp2");
    const auto* file = Find<QLabel>("sp1");
    EXPECT_EQ(pack->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(file->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    for (const auto* gauge : {pack, file}) {
        EXPECT_EQ(gauge->palette().color(QPalette::Window), QColor(224, 224, 224));
        EXPECT_TRUE(gauge->autoFillBackground());
    }
}

TEST_F(MainWindowLayout, OptionsStartTickedAndNoButtonIsDefault) {
    for (const char* name : {"Check1", "Check2", "Check4"})
        EXPECT_TRUE(Find<QCheckBox>(name)->isChecked()) << name;
    for (const char* name : {"Command1", "Command2", "Command3"}) {
        EXPECT_FALSE(Find<QPushButton>(name)->isDefault()) << name;
        EXPECT_FALSE(Find<QPushButton>(name)->autoDefault()) << name;
    }
}

TEST_F(MainWindowLayout, WindowIconComesInEveryDesignedSize) {
    const QList<QSize> sizes = window->windowIcon().availableSizes();
    for (const int size : {16, 24, 32, 48, 64, 72})
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
}

TEST_F(MainWindowLayout, TabWalksTheDesignedFocusOrderFromDrive1AndBack) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const char* order[] = {"Drive1",   "Dir1",   "Text1",    "Check1",   "Check2",
                           "Command1", "Check4", "Command2", "Command3", "Drive1"};
    for (const char* name : order) {
        ASSERT_EQ(QApplication::focusWidget(), Find<QWidget>(name)) << name;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}

} // namespace
} // namespace velnor::test
