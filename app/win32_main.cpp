#include "core/text/cp936_tables.h"
#include "ui/win32/frmMain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    velnor::UseCodePageConverter(&velnor::MakeCp936Converter);
    velnor::frmMain window;
    window.Show(showCommand);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.HandleDialogKeys(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
