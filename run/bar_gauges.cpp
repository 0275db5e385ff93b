#include "run/bar_gauges.h"

namespace velnor {

void BarGauges::UpdateFileBar(std::int16_t percent) {
    Update(Gauge::FileBar, FileBarCells, percent);
}

void BarGauges::UpdatePackBar(std::int16_t percent) {
    Update(Gauge::PackBar, PackBarCells, percent);
}

void BarGauges::Update(Gauge gauge, std::int16_t& cells, std::int16_t percent) {
    if (percent == 0) {
        window_.SetGaugeCaption(gauge, std::string());
        cells = 0;
        return;
    }
    // Divide first, multiply second: multiples of 5 give whole cell counts.
    const double target = percent / 100.0 * 60.0;
    if (target > cells) {
        // At most one cell a call, appended to whatever the label shows.
        ++cells;
        window_.SetGaugeCaption(gauge, window_.GaugeCaption(gauge) + "|");
    }
}

} // namespace velnor
