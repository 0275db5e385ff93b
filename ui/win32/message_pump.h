#pragma once

#include "ui/win32/windows_api.h"

namespace velnor {

// The run's yield on Win32: a pass of the message loop after every character.
// Asking the system whether anything is pending costs a call into it (under
// Wine a round trip to its server: microseconds), so a pass mostly just counts
// and asks every PassesPerLook passes, or at the pass after a repaint: a pass
// with nothing to do then costs a few nanoseconds, and what the user does waits
// at most that many characters of run or one repaint, well under a millisecond.
class MessagePump {
public:
    static constexpr unsigned PassesPerLook = 2048;

    // Dispatches what is pending, keyboard navigation among dialogWindow's
    // controls included, once every PassesPerLook calls.
    void Pass(HWND dialogWindow) {
        if (++passes_ < PassesPerLook)
            return;
        passes_ = 0;
        DispatchPending(dialogWindow);
    }

    // Something slow ran since the last call (a repaint, far slower than a
    // character): the next call looks.
    void SlowWorkDone() { passes_ = PassesPerLook - 1; }

    // Dispatches what is pending now. A WM_QUIT is left for the outer loop.
    static void DispatchPending(HWND dialogWindow);

private:
    unsigned passes_ = 0;
};

} // namespace velnor
