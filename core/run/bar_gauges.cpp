#include "core/run/bar_gauges.h"

namespace velnor {

void BarGauges::UpdateFileBar(std::int16_t percent) {
    Update(Gauge::FileBar, FileBarCells, percent);
}

void BarGauges::UpdatePackBar(std::int16_t percent) {
    Update(Gauge::PackBar, PackBarCells, percent);
}

void BarGauges::Update(Gauge gauge, std::int16_t& cells, std::int16_t percent) {
    if (percent == 0) {
        cells = 0;
        window_.SetGaugeCells(gauge, 0);
        return;
    }
    // Divide first, multiply second: multiples of 5 give whole cell counts.
    // At most one cell a call, however far the target lies ahead.
    if (percent / 100.0 * 60.0 > cells) {
        ++cells;
        window_.SetGaugeCells(gauge, cells);
    }
}

} // namespace velnor
