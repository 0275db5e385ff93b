#include "core/run/bar_gauges.h"

#include <cmath>

namespace velnor {

namespace {

// Divide first, multiply second: multiples of 5 give whole cell counts.
double Target(std::int32_t percent) {
    return percent / 100.0 * 60.0;
}

std::int32_t FirstPercentAbove(std::int16_t cells) {
    // Start just below the exact crossing and step up; the target rises with
    // the percentage, so the first one above is the threshold.
    std::int32_t percent = std::int32_t(std::floor(cells * 100.0 / 60.0)) - 2;
    while (!(Target(percent) > cells))
        ++percent;
    return percent;
}

} // namespace

void BarGauges::UpdateFileBar(std::int16_t percent) {
    Update(Gauge::FileBar, FileBarCells, nextFileCell_, percent);
}

void BarGauges::UpdatePackBar(std::int16_t percent) {
    Update(Gauge::PackBar, PackBarCells, nextPackCell_, percent);
}

void BarGauges::Update(Gauge gauge, std::int16_t& cells, Threshold& next, std::int16_t percent) {
    if (percent == 0) {
        window_.SetGaugeCaption(gauge, std::string());
        cells = 0;
        return;
    }
    if (next.cells != cells)
        next = Threshold{cells, FirstPercentAbove(cells)};
    if (percent >= next.percent) {
        // At most one cell a call, appended to whatever the label shows.
        ++cells;
        window_.SetGaugeCaption(gauge, window_.GaugeCaption(gauge) + "|");
    }
}

} // namespace velnor
