#include "app/win32_answer.h"

#include "core/identity.h"
// before the OS layer's headers: the window's take <windows.h> after the core's registry names
#include "ui/win32/message_box.h"

#include "os/win32/console_text.h"
#include "os/win32/wide_text.h"

#include <exception>
#include <string_view>

namespace velnor {
namespace {

void WriteBytes(HANDLE stream, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD put = 0;
        if (!WriteFile(stream, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr))
            return; // a reader that went away takes no answer
        bytes.remove_prefix(put);
    }
}

// A window program has no console of its own: it joins its parent's, if the
// parent has one, for as long as it writes there (Wine has joined it already).
bool ToParentsConsole(HANDLE stream, DWORD type, const std::string& answer) {
    const bool joined = AttachConsole(ATTACH_PARENT_PROCESS);
    if (!joined && GetLastError() != ERROR_ACCESS_DENIED)
        return false;
    bool told = true;
    if (type == FILE_TYPE_CHAR && !IsConsole(stream)) {
        WriteBytes(stream, answer); // "> NUL": a device that is no console
    } else {
        const HANDLE screen =
            CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        told = screen != INVALID_HANDLE_VALUE;
        if (told) {
            try {
                WriteConsoleText(screen, WideFromUtf8(answer), "the console");
            } catch (const std::exception&) {
            }
            CloseHandle(screen);
        }
    }
    if (joined)
        FreeConsole();
    return told;
}

} // namespace

void TellWhoStartedIt(const std::string& answer, bool problem) {
    const HANDLE stream = GetStdHandle(problem ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    const DWORD type =
        stream && stream != INVALID_HANDLE_VALUE ? GetFileType(stream) : FILE_TYPE_UNKNOWN;
    if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE) {
        WriteBytes(stream, answer);
        return;
    }
    if (ToParentsConsole(stream, type, answer))
        return;
    if (type == FILE_TYPE_CHAR) {
        WriteBytes(stream, answer);
        return;
    }
    ShowMessageBox(nullptr, {.text = answer.substr(0, answer.size() - 1),
                             .title = identity::ApplicationTitle,
                             .icon = problem ? MessageIcon::Exclamation : MessageIcon::None});
}

} // namespace velnor
