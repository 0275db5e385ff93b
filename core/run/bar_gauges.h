#pragma once

#include "core/run/window_seam.h"

#include <cstdint>
#include <limits>

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
    // Moved at every character, a gauge mostly gets a percentage that it has
    // already found to add no cell; as cells only grow until emptied, it adds
    // none until then, and the test is skipped.
    static constexpr std::int32_t NoneYet = std::numeric_limits<std::int32_t>::min();

    void Update(Gauge gauge, std::int16_t& cells, std::int32_t& caughtUpAt, std::int16_t percent);

    WindowSeam& window_;
    std::int32_t fileBarCaughtUpAt_ = NoneYet; // a percentage that adds no cell
    std::int32_t packBarCaughtUpAt_ = NoneYet;
};

} // namespace velnor
