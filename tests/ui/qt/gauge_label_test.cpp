#include "tests/ui/qt/ui_fixture.h"
#include "ui/qt/gauge_label.h"

#include <QImage>
#include <QLabel>

#include <gtest/gtest.h>

namespace velnor::test {
namespace {

// A gauge reuses the size and the look it worked out for a row: they must stay
// those of a plain label with that caption, also after a change of font.
TEST(GaugeLabelTest, SizesAndLooksAsAPlainLabelWithTheSameCaption) {
    QWidget window;
    GaugeLabel gauge(&window);
    QLabel plain(&window);
    for (QLabel* label : {static_cast<QLabel*>(&gauge), &plain}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::blue);
        palette.setColor(QPalette::Window, QColor(224, 224, 224));
        label->setPalette(palette);
        label->setAutoFillBackground(true);
    }
    for (const qreal spacing : {0.0, 3.5}) {
        QFont font = plain.font();
        font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
        gauge.setFont(font);
        plain.setFont(font);
        for (const int cells : {1, 30, 60, 30, 1}) {
            SCOPED_TRACE(testing::Message() << cells << " cells, spacing " << spacing);
            gauge.ShowCells(cells);
            plain.setText(QString(cells, QLatin1Char('|')));
            plain.adjustSize();
            EXPECT_EQ(gauge.text(), plain.text());
            EXPECT_EQ(gauge.size(), plain.size());
            EXPECT_EQ(gauge.grab().toImage(), plain.grab().toImage());
        }
    }
    gauge.ShowCells(0);
    EXPECT_EQ(gauge.width(), 0);
}

} // namespace
} // namespace velnor::test
