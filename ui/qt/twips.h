#pragma once

#include <QRect>

namespace velnor {

// The window is designed in twips, 1/1440 inch: 15 twips to a pixel at 96 dpi.
int TwipsToPixels(int twips, int dpi);

QRect TwipsRect(int left, int top, int width, int height, int dpiX, int dpiY);

} // namespace velnor
