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

bool GaugeLabel::Fits(const QPixmap& look) const {
    return look.deviceIndependentSize() == QSizeF(size()) &&
           look.devicePixelRatio() == devicePixelRatioF();
}

void GaugeLabel::ShowCells(int cells) {
    setText(QString(cells, QLatin1Char('|')));
    adjustSize();
    // Qt keeps a few pixels for an empty label; an empty gauge shows nothing.
    if (cells == 0)
        resize(0, height());
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
