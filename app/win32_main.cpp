#include "app/win32_answer.h"
#include "app/win32_command_line.h"
#include "core/io/program_arguments.h"
#include "core/text/cp936_tables.h"
#include "ui/win32/frmMain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    velnor::UseCodePageConverter(&velnor::MakeCp936Converter);
    const velnor::WindowRequest request =
        velnor::ReadWindowArguments(velnor::io::ProgramArguments(0, nullptr));
    if (!request.answer.empty()) {
        velnor::TellWhoStartedIt(request.answer, request.status != 0);
        return request.status;
    }
    velnor::frmMain window;
    window.Show(showCommand);
    if (request.folder)
        window.OpenFolder(*request.folder);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.HandleDialogKeys(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
