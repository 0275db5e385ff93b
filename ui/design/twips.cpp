#include "ui/design/twips.h"

#include <cmath>

namespace velnor::design {

int TwipsToPixels(int twips, int dpi) {
    return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / 1440.0));
}

} // namespace velnor::design
