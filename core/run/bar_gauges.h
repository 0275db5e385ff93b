#pragma once

#include "core/run/window_seam.h"

#include <cstdint>

namespace velnor {

// The two text gauges: sixty cells to the full gauge, at most one more a call.
class BarGauges {
public:
    explicit BarGauges(WindowSeam& window) : window_(window) {}

    void UpdateFileBar(std::int16_t percent); // sp1
    void UpdatePackBar(std::int16_t percent); // sp2

    std::int16_t FileBarCells = 0;
    std::int16_t PackBarCells = 0;

private:
    void Update(Gauge gauge, std::int16_t& cells, std::int16_t percent);

    WindowSeam& window_;
};

} // namespace velnor
