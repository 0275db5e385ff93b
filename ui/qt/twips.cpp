#include "ui/qt/twips.h"

#include <cmath>

namespace velnor {

int TwipsToPixels(int twips, int dpi) {
    return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / 1440.0));
}

QRect TwipsRect(int left, int top, int width, int height, int dpiX, int dpiY) {
    return QRect(TwipsToPixels(left, dpiX), TwipsToPixels(top, dpiY), TwipsToPixels(width, dpiX),
                 TwipsToPixels(height, dpiY));
}

} // namespace velnor
