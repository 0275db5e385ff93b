#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velnor {

// Characters copied and steps taken over one whole run; zeroed by the run at
// every Start and advanced in place by every call of CompactText.
struct RunCounters {
    std::int32_t KeptInRun = 0;
    std::int32_t ScannedInRun = 0;
};

// What the filter hands its caller after each step.
struct StepReport {
    std::int32_t Position;   // 1-based position just scanned
    std::int32_t KeptInFile; // characters copied from this text by the steps so far
    std::int32_t KeptInRun;
    std::int32_t ScannedInRun; // at least 1
};

struct RemovalOptions {
    bool RemoveSpaces = true;
    bool RemoveBreaks = true;
};

// Answers the removal options as they stand at the moment of each step.
using OptionsSource = std::function<RemovalOptions()>;
using StepReportFn = std::function<void(const StepReport&)>;

// A run-wide counter would pass the 32-bit signed range.
class CounterOverflow : public std::overflow_error {
public:
    CounterOverflow();
};

// The step-by-step filter: options are asked afresh at every step and the
// report is called after every step.
std::u16string CompactText(std::u16string_view text, const OptionsSource& options,
                           RunCounters& counters, const StepReportFn& report);

} // namespace velnor
