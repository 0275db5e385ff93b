#include "ui/win32/message_box.h"

#include "core/identity.h"
#include "ui/win32/wide_text.h"

namespace velnor {

namespace {

UINT ButtonsOf(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        return MB_OK;
    case MessageButtons::OkCancel:
        return MB_OKCANCEL;
    case MessageButtons::YesNo:
        return MB_YESNO;
    }
    return MB_OK;
}

UINT IconOf(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::None:
        return 0;
    case MessageIcon::Critical:
        return MB_ICONHAND;
    case MessageIcon::Exclamation:
        return MB_ICONEXCLAMATION;
    }
    return 0;
}

// The second button of OK/Cancel and Yes/No is Cancel or No.
UINT DefaultOf(MessageAnswer answer) {
    return answer == MessageAnswer::Cancel || answer == MessageAnswer::No ? MB_DEFBUTTON2
                                                                          : MB_DEFBUTTON1;
}

MessageAnswer AnswerOf(int button) {
    switch (button) {
    case IDCANCEL:
        return MessageAnswer::Cancel;
    case IDYES:
        return MessageAnswer::Yes;
    case IDNO:
        return MessageAnswer::No;
    default:
        return MessageAnswer::Ok;
    }
}

} // namespace

MessageAnswer ShowMessageBox(HWND owner, const MessageBoxRequest& request) {
    const std::wstring title =
        Wide(request.title.empty() ? identity::ApplicationTitle : request.title);
    const UINT style = ButtonsOf(request.buttons) | IconOf(request.icon) |
                       DefaultOf(request.defaultButton) | MB_SETFOREGROUND;
    return AnswerOf(MessageBoxW(owner, Wide(request.text).c_str(), title.c_str(), style));
}

} // namespace velnor
