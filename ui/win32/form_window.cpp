#include "ui/win32/form_window.h"

#include "ui/design/twips.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/wide_text.h"

#include <stdexcept>

namespace velnor {

namespace {

IconHandle LoadVelnorIcon(int metric, UINT dpi) {
    const int size = GetSystemMetricsForDpi(metric, dpi);
    return IconHandle(
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(VELNOR_ICON),
                                      IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

} // namespace

HWND CreateFormWindow(const wchar_t* className, const std::string& title, DWORD style) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = className;
    windowClass.lpfnWndProc = DefWindowProcW;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("The main window's class cannot be registered.");
    HWND window = CreateWindowExW(0, className, Wide(title).c_str(), style, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window)
        throw std::runtime_error("The main window cannot be created.");
    return window;
}

void SetClientSize(HWND window, int width, int height, UINT dpi) {
    const int dots = static_cast<int>(dpi);
    RECT frame{0, 0, design::TwipsToPixels(width, dots), design::TwipsToPixels(height, dots)};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)), dpi);
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetVelnorIcons(HWND window, UINT dpi, IconHandle& bigIcon, IconHandle& smallIcon) {
    bigIcon = LoadVelnorIcon(SM_CXICON, dpi);
    smallIcon = LoadVelnorIcon(SM_CXSMICON, dpi);
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.get()));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));
}

} // namespace velnor
