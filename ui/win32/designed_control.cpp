#include "ui/win32/designed_control.h"

#include "ui/design/twips.h"
#include "ui/win32/wide_text.h"

#include <algorithm>

namespace velnor {

namespace {

struct WindowKind {
    const wchar_t* className;
    DWORD style;
    DWORD extendedStyle = 0;
};

WindowKind KindOf(const design::ControlDesign& design) {
    switch (design.kind) {
    case design::ControlKind::Label:
        return {L"STATIC", DWORD(SS_NOPREFIX | (design.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP))};
    case design::ControlKind::Frame:
        return {L"BUTTON", BS_GROUPBOX};
    case design::ControlKind::Button:
        return {L"BUTTON",
                DWORD(WS_TABSTOP | (design.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON))};
    case design::ControlKind::CheckBox:
        return {L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX};
    case design::ControlKind::TextBox:
        return {L"EDIT", WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL, WS_EX_CLIENTEDGE};
    case design::ControlKind::DriveList:
        return {L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS};
    case design::ControlKind::DirectoryList:
        return {L"LISTBOX",
                WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                    LBS_NOINTEGRALHEIGHT,
                WS_EX_CLIENTEDGE};
    }
    return {L"STATIC", 0};
}

} // namespace

HWND CreateDesignedControl(HWND form, const design::ControlDesign& design, int id) {
    const WindowKind kind = KindOf(design);
    HWND control = CreateWindowExW(kind.extendedStyle, kind.className, Wide(design.caption).c_str(),
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style, 0, 0, 0, 0,
                                   form, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (design.kind == design::ControlKind::CheckBox)
        SendMessageW(control, BM_SETCHECK, design.ticked ? BST_CHECKED : BST_UNCHECKED, 0);
    return control;
}

void CreateDesignedControls(HWND form, std::span<const design::ControlDesign> controls,
                            const std::vector<int>& order, int (*idOf)(int), std::span<HWND> made) {
    HWND above = HWND_TOP;
    for (const int index : order) {
        made[index] = CreateDesignedControl(form, controls[index], idOf(index));
        SetWindowPos(made[index], above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        above = made[index];
    }
}

std::wstring ControlText(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

RECT DesignedRect(std::span<const design::ControlDesign> controls, int index, UINT dpi) {
    // Rounded box by box, as a toolkit with real containers would place it.
    const int dots = static_cast<int>(dpi);
    int x = 0;
    int y = 0;
    for (int at = index; at != design::OnForm; at = controls[at].container) {
        x += design::TwipsToPixels(controls[at].place.left, dots);
        y += design::TwipsToPixels(controls[at].place.top, dots);
    }
    const design::TwipsBox& place = controls[index].place;
    return RECT{x, y, x + design::TwipsToPixels(place.width, dots),
                y + design::TwipsToPixels(place.height, dots)};
}

RECT WrappedTextRect(HWND label, HFONT font, RECT box) {
    const std::wstring text = ControlText(label);
    RECT needed = box;
    HDC dc = GetDC(label);
    const HGDIOBJ previous = SelectObject(dc, font);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(label, dc);
    box.bottom = std::max(box.bottom, needed.bottom);
    return box;
}

void SetAutoSizeCaption(HWND form, HWND label, const std::wstring& caption, SIZE size) {
    RECT before;
    GetWindowRect(label, &before);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&before), 2);
    SetWindowPos(label, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    // The new text marks the whole label for repainting. A label that grew
    // repaints itself; one that shrank has the form repaint what it uncovered.
    SetWindowTextW(label, caption.c_str());
    if (size.cx >= before.right - before.left && size.cy >= before.bottom - before.top)
        UpdateWindow(label);
    else
        RedrawWindow(form, &before, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

SolidBrushes::~SolidBrushes() {
    for (const auto& [colour, brush] : brushes_)
        DeleteObject(brush);
}

HBRUSH SolidBrushes::For(COLORREF colour) {
    HBRUSH& brush = brushes_[colour];
    if (!brush)
        brush = CreateSolidBrush(colour);
    return brush;
}

COLORREF ColourRef(const design::Colour& colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

HBRUSH DesignedColours(HDC dc, const design::ControlDesign& design, SolidBrushes& brushes) {
    if (design.textColour)
        SetTextColor(dc, ColourRef(*design.textColour));
    const COLORREF back =
        design.backColour ? ColourRef(*design.backColour) : GetSysColor(COLOR_BTNFACE);
    SetBkColor(dc, back);
    return brushes.For(back);
}

} // namespace velnor
