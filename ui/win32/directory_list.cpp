#include "ui/win32/directory_list.h"

#include "ui/win32/wide_text.h"

#include <string>

namespace velnor {

void ShowFolders(HWND listBox, const form::FolderListing& listing) {
    SendMessageW(listBox, WM_SETREDRAW, FALSE, 0);
    SendMessageW(listBox, LB_RESETCONTENT, 0, 0);
    for (const form::FolderLine& line : listing.lines) {
        const LRESULT index = SendMessageW(listBox, LB_ADDSTRING, 0,
                                           reinterpret_cast<LPARAM>(Wide(line.name).c_str()));
        SendMessageW(listBox, LB_SETITEMDATA, static_cast<WPARAM>(index), line.depth);
    }
    SendMessageW(listBox, LB_SETCURSEL, listing.open, 0);
    SendMessageW(listBox, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listBox, nullptr, TRUE);
}

void DrawFolderLine(const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1))
        return;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SetBkMode(item.hDC, TRANSPARENT);
    const int height = item.rcItem.bottom - item.rcItem.top;
    RECT text = item.rcItem;
    text.left += 2 + static_cast<int>(item.itemData) * height * 3 / 4;
    std::wstring name(
        static_cast<std::size_t>(SendMessageW(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0)),
        L'\0');
    SendMessageW(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(name.data()));
    DrawTextW(item.hDC, name.c_str(), static_cast<int>(name.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
}

} // namespace velnor
