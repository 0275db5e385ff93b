#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace velnor {

// Decides at which of a run's yields the event loop gets its pass. A pass
// with nothing to do still costs a poll() system call, some 0.7 µs, where a
// character's step costs a few dozen nanoseconds; so a pass runs at most once
// every PassInterval, and whatever reaches the program (input, a posted event,
// a close, a due timer) waits at most that long plus one clock read's spacing.
// The clock is read only about every ClockReadSpacing, the number of calls in
// between scaled to how fast the last ones came, so a call in between costs one
// decrement. The clock is a parameter so that tests can drive it.
template <typename Clock> class BasicYieldGate {
public:
    static constexpr std::chrono::microseconds PassInterval{250};
    static constexpr std::chrono::microseconds ClockReadSpacing{20};
    static constexpr std::int64_t MaxCallsPerClockRead = 1024;

    // Whether this call is to run a pass; PassDone() must follow one.
    bool PassDue() {
        if (--callsUntilRead_ > 0) [[likely]]
            return false;
        return ReadClock();
    }

    // The pass may have held the run (a modal box): the next one is due an
    // interval after this one ended.
    void PassDone() {
        lastRead_ = Clock::now();
        nextPass_ = lastRead_ + PassInterval;
    }

    // Something slow ran between two calls (a repaint, a page's file work):
    // the next call reads the clock instead of trusting the call count.
    void ReadClockNext() {
        callsPerRead_ -= callsUntilRead_ - 1;
        callsUntilRead_ = 1;
    }

private:
    bool ReadClock() {
        const typename Clock::time_point now = Clock::now();
        const std::int64_t since =
            std::chrono::duration_cast<std::chrono::nanoseconds>(now - lastRead_).count();
        const std::int64_t calls = callsPerRead_ - callsUntilRead_;
        const std::int64_t spacing =
            std::chrono::duration_cast<std::chrono::nanoseconds>(ClockReadSpacing).count();
        // Calls that came slower are believed at once; faster ones at most double
        // the count, so one quick burst cannot stretch the spacing.
        const std::int64_t fitting = since > 0 ? calls * spacing / since : MaxCallsPerClockRead;
        callsPerRead_ =
            std::clamp<std::int64_t>(fitting, 1, std::min(2 * calls, MaxCallsPerClockRead));
        callsUntilRead_ = callsPerRead_;
        lastRead_ = now;
        return now >= nextPass_;
    }

    std::int64_t callsUntilRead_ = 1; // the first call reads the clock
    std::int64_t callsPerRead_ = 1;
    typename Clock::time_point lastRead_{};
    typename Clock::time_point nextPass_{};
};

using YieldGate = BasicYieldGate<std::chrono::steady_clock>;

} // namespace velnor
