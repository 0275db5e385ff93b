#include "ui/qt/gauge_label.h"

#include <QEvent>
#include <QPainter>

namespace velnor {

namespace {

template <typename Value> Value& Slot(std::vector<Value>& cache, qsizetype cells) {
    if (cache.size() <= static_cast<std::size_t>(cells))
        cache.resize(cells + 1);
    return cache[cells];
}

} // namespace

GaugeLabel::GaugeLabel(QWidget* parent) : QLabel(parent) {
    setAttribute(Qt::WA_StaticContents);
}

bool GaugeLabel::Fits(const QPixmap& look) const {
    return look.deviceIndependentSize() == QSizeF(size()) &&
           look.devicePixelRatio() == devicePixelRatioF();
}

void GaugeLabel::ShowCells(int cells) {
    const int before = width();
    // The row grows to the right and the cells already lit stay where they
    // are, so with static contents a resize marks only the new strip for
    // painting. QLabel would mark its whole area at the change of caption, so
    // updates are held around it, through the attribute itself: turning them
    // back on with setUpdatesEnabled() would mark the whole area again. Qt 6.4
    // keeps to this; the gauge's tests fail if a later Qt does not.
    const bool growing = cells > text().size();
    if (growing)
        setAttribute(Qt::WA_UpdatesDisabled);
    setText(QString(cells, QLatin1Char('|')));
    if (growing)
        setAttribute(Qt::WA_UpdatesDisabled, false);
    adjustSize();
    // Qt keeps a few pixels for an empty label; an empty gauge shows nothing.
    if (cells == 0)
        resize(0, height());
    MakeLook(cells);
    if (growing && width() > before)
        repaint(before, 0, width() - before, height());
    else
        repaint();
}

void GaugeLabel::MakeLook(int cells) {
    QPixmap& look = Slot(looks_, cells);
    if (size().isEmpty() || Fits(look))
        return;
    // Drawn here, by QLabel itself: a widget cannot be rendered from its own paint event.
    look = QPixmap(size() * devicePixelRatioF());
    look.setDevicePixelRatio(devicePixelRatioF());
    drawingLook_ = true;
    render(&look);
    drawingLook_ = false;
}

QSize GaugeLabel::sizeHint() const {
    QSize& size = Slot(sizes_, text().size());
    if (!size.isValid())
        size = QLabel::sizeHint();
    return size;
}

void GaugeLabel::paintEvent(QPaintEvent* event) {
    const auto cells = static_cast<std::size_t>(text().size());
    if (drawingLook_ || cells >= looks_.size() || !Fits(looks_[cells])) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter(this).drawPixmap(0, 0, looks_[cells]);
}

void GaugeLabel::changeEvent(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::FontChange || type == QEvent::PaletteChange ||
        type == QEvent::StyleChange || type == QEvent::EnabledChange) {
        sizes_.clear();
        looks_.clear();
    }
    QLabel::changeEvent(event);
}

} // namespace velnor
