#include "ui/win32/extension_box.h"

#include <string>

namespace velnor {

namespace {

const wchar_t* const EditProcedure = L"Velnor.EditProcedure";

void PasteWithoutLineBreaks(HWND edit) {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(edit))
        return;
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            for (const wchar_t* c = chars; *c; ++c)
                if (*c != L'\r' && *c != L'\n' && *c != L'\u2028' && *c != L'\u2029')
                    text += *c;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT CALLBACK ExtensionBoxProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto original = reinterpret_cast<WNDPROC>(GetPropW(edit, EditProcedure));
    switch (message) {
    case WM_GETDLGCODE:
        // Tab and Enter belong to the window, not to the text.
        return CallWindowProcW(original, edit, message, wParam, lParam) & ~DLGC_WANTALLKEYS;
    case WM_CHAR:
        if (wParam == L'\r' || wParam == L'\n' || wParam == L'\t')
            return 0;
        break;
    case WM_PASTE:
        PasteWithoutLineBreaks(edit);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropW(edit, EditProcedure);
        break;
    default:
        break;
    }
    return CallWindowProcW(original, edit, message, wParam, lParam);
}

} // namespace

void MakeExtensionBox(HWND edit) {
    const LONG_PTR original = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    SetPropW(edit, EditProcedure, reinterpret_cast<HANDLE>(original));
    SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ExtensionBoxProcedure));
}

} // namespace velnor
