#include "ui/qt/twips.h"

#include "ui/design/twips.h"

#include <QWidget>

namespace velnor {

QRect TwipsRect(const design::TwipsBox& box, const QWidget* container) {
    const int dpiX = container->logicalDpiX();
    const int dpiY = container->logicalDpiY();
    return QRect(design::TwipsToPixels(box.left, dpiX), design::TwipsToPixels(box.top, dpiY),
                 design::TwipsToPixels(box.width, dpiX), design::TwipsToPixels(box.height, dpiY));
}

} // namespace velnor
