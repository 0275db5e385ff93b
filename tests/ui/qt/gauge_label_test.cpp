#include "tests/ui/qt/ui_fixture.h"
#include "ui/qt/gauge_label.h"

#include <QImage>
#include <QLabel>
#include <QPaintEvent>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace velnor::test {
namespace {

void Colour(QLabel& label) {
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    palette.setColor(QPalette::Window, QColor(224, 224, 224));
    label.setPalette(palette);
    label.setAutoFillBackground(true);
}

class PaintRecorder : public QObject {
public:
    QRegion painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return QObject::eventFilter(watched, event);
    }
};

// A gauge reuses the size and the look it worked out for a row: they must stay
// those of a plain label with that caption, also after a change of font.
TEST(GaugeLabelTest, SizesAndLooksAsAPlainLabelWithTheSameCaption) {
    QWidget window;
    GaugeLabel gauge(&window);
    QLabel plain(&window);
    Colour(gauge);
    Colour(plain);
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

// A lit cell is painted at once, and only its strip: what the window then
// holds must be the whole row, with nothing left to paint later.
TEST(GaugeLabelTest, ALitCellPaintsOnlyItsStripAndTheWindowShowsTheRow) {
    QWidget window;
    window.resize(720, 40); // wider than the full row
    GaugeLabel gauge(&window);
    Colour(gauge);
    QFont font = gauge.font();
    font.setLetterSpacing(QFont::AbsoluteSpacing, 3.5);
    gauge.setFont(font);
    PaintRecorder recorder;
    gauge.installEventFilter(&recorder);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // The first row of a run works out the looks, drawing each whole.
    for (int cells = 1; cells <= 60; ++cells)
        gauge.ShowCells(cells);
    gauge.ShowCells(0);
    for (int cells = 1; cells <= 60; ++cells) {
        SCOPED_TRACE(testing::Message() << cells << " cells");
        const int before = gauge.width();
        recorder.painted = QRegion();
        gauge.ShowCells(cells);
        if (cells > 1) {
            EXPECT_EQ(recorder.painted, QRegion(before, 0, gauge.width() - before, gauge.height()));
        }
        const QImage shown =
            window.screen()
                ->grabWindow(window.winId(), gauge.x(), gauge.y(), gauge.width(), gauge.height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shown, gauge.grab().toImage().convertToFormat(QImage::Format_RGB32));
    }
    recorder.painted = QRegion();
    QApplication::processEvents();
    EXPECT_TRUE(recorder.painted.isEmpty());
}

} // namespace
} // namespace velnor::test
