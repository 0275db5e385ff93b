#include "ui/qt/yield_gate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace velnor::test {
namespace {

using namespace std::chrono_literals;

// A clock that moves only when told.
struct FakeClock {
    using duration = std::chrono::nanoseconds;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<FakeClock>;
    static constexpr bool is_steady = true;
    static time_point now() { return current; }
    static inline time_point current{};
};

using Gate = BasicYieldGate<FakeClock>;

// Calls of the given cost for 5 ms: the passes they get, in time.
std::vector<FakeClock::time_point> Passes(Gate& gate, std::chrono::nanoseconds each) {
    std::vector<FakeClock::time_point> passes;
    const FakeClock::time_point end = FakeClock::current + 5ms;
    while (FakeClock::current < end) {
        if (gate.PassDue()) {
            passes.push_back(FakeClock::current);
            gate.PassDone();
        }
        FakeClock::current += each;
    }
    return passes;
}

// However fast the calls, a pass comes an interval after the last, give or take
// a clock read's spacing or one call.
TEST(YieldGateTest, PassesComeOneIntervalApart) {
    for (const std::chrono::nanoseconds each : {2ns, 40ns, 700ns, 30'000ns, 400'000ns}) {
        SCOPED_TRACE(each.count());
        Gate gate;
        const std::vector<FakeClock::time_point> passes = Passes(gate, each);
        ASSERT_GE(passes.size(), 2u);
        const std::chrono::nanoseconds late =
            std::max<std::chrono::nanoseconds>(Gate::ClockReadSpacing, each);
        for (std::size_t i = 1; i < passes.size(); ++i) {
            EXPECT_GE(passes[i] - passes[i - 1], Gate::PassInterval);
            EXPECT_LE(passes[i] - passes[i - 1], Gate::PassInterval + late);
        }
    }
}

} // namespace
} // namespace velnor::test
