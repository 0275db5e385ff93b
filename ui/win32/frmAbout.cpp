#include "ui/win32/frmAbout.h"

#include "core/about/key_value_reader.h"
#include "core/identity.h"
#include "ui/design/twips.h"
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

frmAbout::frmAbout(SysInfoServices services) : services_(WithSystemServices(std::move(services))) {
    if (!services_.showMessage)
        services_.showMessage = [this](const std::string& text) {
            MessageBoxW(dialog_, Wide(text).c_str(), Wide(identity::ApplicationTitle).c_str(),
                        MB_OK);
        };
}

void frmAbout::Show(const std::function<void(frmAbout&)>& onShown) {
    onShown_ = onShown;
    const std::vector<HWND> disabled = DisableThreadWindows();
    static const EmptyDialog Template{};
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &Template.header, nullptr, &Procedure,
                            reinterpret_cast<LPARAM>(this));
    for (HWND window : disabled)
        EnableWindow(window, TRUE);
    dialog_ = nullptr;
    controls_ = {};
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
        Form_Load();
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
            EndDialog(dialog_, LOWORD(wParam));
        else if (LOWORD(wParam) == FirstId + cmdSysInfo && HIWORD(wParam) == BN_CLICKED)
            StartSysInfo();
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

    HWND above = HWND_TOP;
    for (const int index : CreationOrder(Controls(), FocusOrder)) {
        const design::ControlDesign& design = Controls()[index];
        HWND control = CreateDesignedControl(dialog_, design, IdOf(index));
        controls_[index] = control;
        SetWindowPos(control, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        above = control;
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }
}

void frmAbout::Form_Load() {
    SetWindowTextW(dialog_, Wide(LoadedCaption()).c_str());
    SetWindowTextW(controls_[lblVersion], Wide(LoadedVersion()).c_str());
    SetWindowTextW(controls_[lblTitle], Wide(LoadedTitle()).c_str());
    // The designed sizes fit a font with 180-twip CJK characters; a label
    // sizes itself to its text or, where its text is wider, widens to it.
    for (int index = 0; index < ControlCount; ++index) {
        const design::ControlDesign& design = Controls()[index];
        if (design.kind != design::ControlKind::Label)
            continue;
        RECT box = DesignedRect(Controls(), index, dpi_);
        const SIZE text = TextExtent(controls_[index], font_.get(), ControlText(controls_[index]));
        if (design.autoSize)
            box.right = box.left + text.cx, box.bottom = box.top + text.cy;
        else
            box.right = std::max(box.right, box.left + text.cx);
        MoveWindow(controls_[index], box.left, box.top, box.right - box.left, box.bottom - box.top,
                   FALSE);
    }
    for (const int index : {int(cmdOK), int(cmdSysInfo)}) {
        const RECT box = DesignedRect(Controls(), index, dpi_);
        MoveWindow(controls_[index], box.left, box.top, box.right - box.left, box.bottom - box.top,
                   FALSE);
    }
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

bool frmAbout::GetKeyValue(RegistryRoot KeyRoot, const std::wstring& KeyName,
                           const std::wstring& SubKeyRef, std::wstring& KeyVal) {
    std::u16string value(KeyVal.begin(), KeyVal.end());
    const bool read = velnor::GetKeyValue(
        *services_.registry, KeyRoot, std::u16string(KeyName.begin(), KeyName.end()),
        std::u16string(SubKeyRef.begin(), SubKeyRef.end()), value);
    KeyVal.assign(value.begin(), value.end());
    return read;
}

void frmAbout::StartSysInfo() {
    velnor::StartSysInfo(services_);
}

} // namespace velnor
