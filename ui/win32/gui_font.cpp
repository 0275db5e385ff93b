#include "ui/win32/gui_font.h"

#include <string>

namespace velnor {

FontHandle MakeGuiFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        font = metrics.lfMessageFont;
    else
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = -MulDiv(9, static_cast<int>(dpi), 72);
    font.lfWidth = 0;
    return FontHandle(CreateFontIndirectW(&font));
}

SIZE TextExtent(HWND window, HFONT font, const std::wstring& text, int characterExtra) {
    HDC dc = GetDC(window);
    const HGDIOBJ previous = SelectObject(dc, font);
    SetTextCharacterExtra(dc, characterExtra);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SIZE size{0, metrics.tmHeight};
    if (!text.empty())
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return size;
}

} // namespace velnor
