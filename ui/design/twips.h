#pragma once

namespace velnor::design {

// Pixels for a length in twips at the given dots per inch, to the nearest
// pixel: 15 twips to a pixel at 96 dpi. Windows' MulDiv(twips, dpi, 1440)
// rounds the same way for every length the windows use.
int TwipsToPixels(int twips, int dpi);

} // namespace velnor::design
