#include "core/run/bar_gauges.h"

namespace velnor {

void BarGauges::UpdateFileBar(std::int16_t percent) {
    Update(Gauge::FileBar, FileBarCells, fileBarCaughtUpAt_, percent);
}

void BarGauges::UpdatePackBar(std::int16_t percent) {
    Update(Gauge::PackBar, PackBarCells, packBarCaughtUpAt_, percent);
}

void BarGauges::Update(Gauge gauge, std::int16_t& cells, std::int32_t& caughtUpAt,
                       std::int16_t percent) {
    if (percent == 0) {
        cells = 0;
        caughtUpAt = NoneYet;
        window_.SetGaugeCells(gauge, 0);
        return;
    }
    if (percent == caughtUpAt)
        return;
    // Divide first, multiply second: multiples of 5 give whole cell counts.
    // At most one cell a call, however far the target lies ahead.
    if (percent / 100.0 * 60.0 > cells) {
        ++cells;
        window_.SetGaugeCells(gauge, cells);
    } else {
        caughtUpAt = percent;
    }
}

} // namespace velnor
