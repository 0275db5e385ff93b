#pragma once

#include "ui/design/yield_gate.h"
#include "ui/win32/windows_api.h"

namespace velnor {

// The run's yield on Win32: a pass of the message loop after every character,
// let through by the yield gate, as in the Qt window.
class MessagePump {
public:
    // Dispatches what is pending, keyboard navigation among dialogWindow's
    // controls included, when a pass is due.
    void Pass(HWND dialogWindow) {
        if (!gate_.PassDue())
            return;
        DispatchPending(dialogWindow);
        gate_.PassDone();
    }

    // Something slow ran since the last call (a repaint): the next one reads
    // the clock.
    void SlowWorkDone() { gate_.ReadClockNext(); }

    // Dispatches what is pending now. A WM_QUIT is left for the outer loop.
    static void DispatchPending(HWND dialogWindow);

private:
    YieldGate gate_;
};

} // namespace velnor
