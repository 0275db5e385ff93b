#pragma once

#include "ui/win32/windows_api.h"

namespace velnor {

// The run's yield on Win32: a pass of the message loop after every character.
// Asking the system whether anything is pending costs a call into it (a
// round trip to the server under Wine), so a pass mostly just counts and asks
// only every PassesPerLook passes: tens of nanoseconds of run apart, far below
// what a user can tell, while a pass with nothing to do costs a few.
class MessagePump {
public:
    static constexpr unsigned PassesPerLook = 256;

    // Dispatches what is pending, keyboard navigation among dialogWindow's
    // controls included, once every PassesPerLook calls.
    void Pass(HWND dialogWindow) {
        if (++passes_ < PassesPerLook)
            return;
        passes_ = 0;
        DispatchPending(dialogWindow);
    }

    // Dispatches what is pending now. A WM_QUIT is left for the outer loop.
    static void DispatchPending(HWND dialogWindow);

private:
    unsigned passes_ = 0;
};

} // namespace velnor
