#include "ui/win32/frmAbout.h"

#include "ui/design/twips.h"
#include "ui/win32/message_box.h"
#include "ui/win32/wide_text.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace velnor {

namespace {

using namespace frmAbout_design;

constexpr DWORD Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD ExtendedStyle = WS_EX_DLGMODALFRAME;
// cmdOK carries the dialog's own OK id, so Enter presses it; the others follow.
constexpr int FirstId = 100;

int IdOf(int index) {
    return index == cmdOK ? IDOK : FirstId + index;
}

// A dialog template with no controls, font or title: the box makes its own.
struct alignas(4) EmptyDialog {
    DLGTEMPLATE header{Style, ExtendedStyle, 0, 0, 0, 0, 0};
    WORD menu = 0;
    WORD windowClass = 0;
    WORD title = 0;
};

// The program's enabled windows, disabled while the box is up.
std::vector<HWND> DisableThreadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM list) -> BOOL {
            if (IsWindowVisible(window) && IsWindowEnabled(window))
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows)
        EnableWindow(window, FALSE);
    return windows;
}

} // namespace

frmAbout::frmAbout(SysInfoServices services) : form_(*this, std::move(services)) {}

INT_PTR frmAbout::Show(const std::function<void(frmAbout&)>& onShown) {
    onShown_ = onShown;
    const std::vector<HWND> disabled = DisableThreadWindows();
    static const EmptyDialog Template{};
    const INT_PTR ended =
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &Template.header, nullptr, &Procedure,
                                reinterpret_cast<LPARAM>(this));
    for (HWND window : disabled)
        EnableWindow(window, TRUE);
    dialog_ = nullptr;
    controls_ = {};
    return ended;
}

INT_PTR CALLBACK frmAbout::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        reinterpret_cast<frmAbout*>(lParam)->dialog_ = dialog;
    }
    auto* self = reinterpret_cast<frmAbout*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return self ? self->Handle(message, wParam, lParam) : FALSE;
}

INT_PTR frmAbout::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        CreateControls();
        form_.Form_Load();
        SetFocus(controls_[FocusOrder.front()]);
        return FALSE;
    case WM_SHOWWINDOW:
        // The box shows itself once its loop first waits for input.
        if (wParam && onShown_)
            PostMessageW(dialog_, WM_APP, 0, 0);
        return FALSE;
    case WM_APP:
        if (const auto onShown = std::exchange(onShown_, nullptr))
            onShown(*this);
        return TRUE;
    case WM_COMMAND:
        // OK, Enter on it, Esc (OK is the cancel button too) and the close box.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            form_.cmdOK_Click();
        else if (LOWORD(wParam) == FirstId + cmdSysInfo && HIWORD(wParam) == BN_CLICKED)
            form_.cmdSysInfo_Click();
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        const auto control = reinterpret_cast<HWND>(lParam);
        const auto found = std::find(controls_.begin(), controls_.end(), control);
        if (found == controls_.end())
            return FALSE;
        const design::ControlDesign& design = Controls()[found - controls_.begin()];
        if (!design.textColour && !design.backColour)
            return FALSE;
        return reinterpret_cast<INT_PTR>(
            DesignedColours(reinterpret_cast<HDC>(wParam), design, brushes_));
    }
    case WM_PAINT:
        Paint();
        return TRUE;
    default:
        return FALSE;
    }
}

void frmAbout::CreateControls() {
    dpi_ = GetDpiForWindow(dialog_);
    font_ = MakeGuiFont(dpi_);
    const int dots = static_cast<int>(dpi_);
    RECT frame{design::TwipsToPixels(Client.left, dots), design::TwipsToPixels(Client.top, dots), 0,
               0};
    frame.right = frame.left + design::TwipsToPixels(Client.width, dots);
    frame.bottom = frame.top + design::TwipsToPixels(Client.height, dots);
    AdjustWindowRectExForDpi(&frame, Style, FALSE, ExtendedStyle, dpi_);
    SetWindowPos(dialog_, nullptr, frame.left, frame.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);

    CreateDesignedControls(dialog_, Controls(), CreationOrder(Controls(), FocusOrder), &IdOf,
                           controls_);
    for (int index = 0; index < ControlCount; ++index) {
        HWND control = controls_[index];
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        if (Controls()[index].kind == design::ControlKind::Label) {
            PlaceLabel(static_cast<frmAbout_design::Control>(index));
        } else {
            const RECT box = DesignedRect(Controls(), index, dpi_);
            MoveWindow(control, box.left, box.top, box.right - box.left, box.bottom - box.top,
                       FALSE);
        }
    }
}

void frmAbout::PlaceLabel(frmAbout_design::Control label) {
    // The designed sizes fit a font with 180-twip CJK characters.
    const design::ControlDesign& design = Controls()[label];
    RECT box = DesignedRect(Controls(), label, dpi_);
    const SIZE text = TextExtent(controls_[label], font_.get(), ControlText(controls_[label]));
    if (design.autoSize)
        box.right = box.left + text.cx, box.bottom = box.top + text.cy;
    else
        box.right = std::max(box.right, box.left + text.cx);
    MoveWindow(controls_[label], box.left, box.top, box.right - box.left, box.bottom - box.top,
               FALSE);
}

void frmAbout::SetFormCaption(const std::string& caption) {
    SetWindowTextW(dialog_, Wide(caption).c_str());
}

void frmAbout::SetCaption(frmAbout_design::Control label, const std::string& caption) {
    SetWindowTextW(controls_[label], Wide(caption).c_str());
    PlaceLabel(label);
}

void frmAbout::ShowMessage(const MessageBoxRequest& request) {
    ShowMessageBox(dialog_, request);
}

void frmAbout::Unload() {
    EndDialog(dialog_, IDOK);
}

void frmAbout::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog_, &paint);
    const int dots = static_cast<int>(dpi_);
    // In creation order, Line1(1) first.
    for (const int index : {1, 0}) {
        const design::LineDesign& line = Line1()[index];
        const RECT area{design::TwipsToPixels(line.fromX, dots),
                        design::TwipsToPixels(line.y, dots), design::TwipsToPixels(line.toX, dots),
                        design::TwipsToPixels(line.y, dots) + line.widthPixels};
        FillRect(dc, &area, brushes_.For(ColourRef(line.colour)));
    }
    EndPaint(dialog_, &paint);
}

} // namespace velnor
