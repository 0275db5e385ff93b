#pragma once

#include "core/run/window_seam.h"

#include <cstdint>

namespace velnor {

// The two text gauges: sixty "|" to the full gauge, at most one more cell a call.
class BarGauges {
public:
    explicit BarGauges(WindowSeam& window) : window_(window) {}

    void UpdateFileBar(std::int16_t percent); // sp1
    void UpdatePackBar(std::int16_t percent); // sp2

    std::int16_t FileBarCells = 0;
    std::int16_t PackBarCells = 0;

private:
    // The smallest percentage that lights one more cell than `cells`, worked
    // out once per cell count so that a call that changes nothing costs a comparison.
    struct Threshold {
        std::int16_t cells = -1;
        std::int32_t percent = 0;
    };

    void Update(Gauge gauge, std::int16_t& cells, Threshold& next, std::int16_t percent);

    WindowSeam& window_;
    Threshold nextFileCell_;
    Threshold nextPackCell_;
};

} // namespace velnor
