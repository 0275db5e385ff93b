#include "ui/win32/message_pump.h"

namespace velnor {

namespace {

// A flood of messages must not hold the run for ever: what arrives while the
// pass works waits for the next one.
constexpr int MostMessagesPerPass = 64;

} // namespace

void MessagePump::DispatchPending(HWND dialogWindow) {
    if (HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0)
        return;
    MSG message;
    for (int count = 0; count < MostMessagesPerPass; ++count) {
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            return;
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (dialogWindow && IsDialogMessageW(dialogWindow, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace velnor
