#include "ui/win32/frmMain.h"

#include "core/identity.h"
#include "ui/design/twips.h"
#include "ui/win32/directory_list.h"
#include "ui/win32/extension_box.h"
#include "ui/win32/frmAbout.h"
#include "ui/win32/message_box.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/wide_text.h"

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

namespace velnor {

namespace {

using namespace frmMain_design;

const wchar_t* const ClassName = L"Velnor.frmMain";
constexpr DWORD Style = WS_OVERLAPPEDWINDOW;
// Control ids: the designed index plus this, clear of IDOK and IDCANCEL.
constexpr int FirstId = 100;
// Lines the drive list drops down.
constexpr int DriveLines = 8;

bool Ticked(HWND checkBox) {
    return SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void RegisterWindowClass() {
    static const ATOM registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = ClassName;
        windowClass.lpfnWndProc = DefWindowProcW;
        return RegisterClassExW(&windowClass);
    }();
    if (!registered)
        throw std::runtime_error("The main window's class cannot be registered.");
}

IconHandle LoadVelnorIcon(int metric, UINT dpi) {
    const int size = GetSystemMetricsForDpi(metric, dpi);
    return IconHandle(
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(VELNOR_ICON),
                                      IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

} // namespace

frmMain::frmMain(frmMainServices services)
    : drives_(services.drives ? std::move(services.drives) : DriveSource(&LogicalDrives)),
      endProgram_(services.endProgram ? std::move(services.endProgram)
                                      : [](int code) { PostQuitMessage(code); }),
      form_(*this,
            services.settings ? std::move(services.settings)
                              : std::shared_ptr<SettingsStore>(MakeSettingsStore()),
            std::move(services.makeFileSystem)) {
    RegisterWindowClass();
    window_ = CreateWindowExW(0, ClassName, Wide(identity::ApplicationTitle).c_str(), Style,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window_)
        throw std::runtime_error("The main window cannot be created.");
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
    dpi_ = GetDpiForWindow(window_);
    CreateControls();
    Layout(dpi_);
    form_.Form_Load();
}

frmMain::~frmMain() {
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcW));
    DestroyWindow(window_);
}

void frmMain::Show(int showCommand) {
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    SetFocus(controls_[FocusOrder.front()]);
}

bool frmMain::HandleDialogKeys(MSG& msg) {
    return IsDialogMessageW(window_, &msg);
}

LRESULT CALLBACK frmMain::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<frmMain*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->Handle(message, wParam, lParam)
                : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT frmMain::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_DRAWITEM:
        if (wParam == FirstId + Dir1) {
            DrawFolderLine(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    case WM_CTLCOLORSTATIC: {
        const int index = GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) - FirstId;
        if (index < 0 || index >= ControlCount)
            break;
        const design::ControlDesign& design = Controls()[index];
        if (!design.textColour && !design.backColour)
            break;
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetTextCharacterExtra(dc, CharacterExtra(static_cast<frmMain_design::Control>(index)));
        return reinterpret_cast<LRESULT>(DesignedColours(dc, design, brushes_));
    }
    case WM_ACTIVATE:
        // The focus comes back to the control that had it.
        if (LOWORD(wParam) == WA_INACTIVE)
            focusAtDeactivation_ = GetFocus();
        else if (focusAtDeactivation_ && IsChild(window_, focusAtDeactivation_))
            SetFocus(focusAtDeactivation_);
        return 0;
    case WM_DPICHANGED: {
        Layout(HIWORD(wParam));
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window_, nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_CLOSE:
        // A close is never refused.
        form_.Form_Unload();
        return 0;
    case WM_ENDSESSION:
        if (wParam)
            form_.Form_Unload();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void frmMain::OnCommand(int id, int notification) {
    switch (id - FirstId) {
    case Command1:
        if (notification == BN_CLICKED)
            form_.Command1_Click();
        return;
    case Command2:
        if (notification == BN_CLICKED)
            form_.Command2_Click();
        return;
    case Command3:
        if (notification == BN_CLICKED)
            form_.Command3_Click();
        return;
    case Check1:
    case Check2:
        if (notification == BN_CLICKED)
            ReadTicks();
        return;
    case Drive1:
        if ((notification == CBN_SELCHANGE || notification == CBN_CLOSEUP) && Drive1_->TakePick())
            form_.Drive1_Change();
        return;
    case Dir1:
        if (notification == LBN_DBLCLK)
            OpenSelectedFolder();
        return;
    default:
        break;
    }
    // Enter in the directory list opens the folder; elsewhere it presses nothing.
    if (id == IDOK && GetFocus() == controls_[Dir1])
        OpenSelectedFolder();
}

void frmMain::OpenSelectedFolder() {
    const LRESULT selected = SendMessageW(controls_[Dir1], LB_GETCURSEL, 0, 0);
    if (selected >= 0)
        form_.Dir1_Open(static_cast<std::size_t>(selected));
}

void frmMain::CreateControls() {
    const std::vector<int> order = CreationOrder(Controls(), FocusOrder);
    HWND above = HWND_TOP;
    for (const int index : order) {
        controls_[index] = CreateDesignedControl(window_, Controls()[index], FirstId + index);
        // Tab follows the stacking order; frames lie beneath what they hold.
        SetWindowPos(controls_[index], above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        above = controls_[index];
    }
    Drive1_.emplace(controls_[Drive1], drives_);
    MakeExtensionBox(controls_[Text1]);
    ReadTicks();
}

void frmMain::ReadTicks() {
    removeSpaces_ = Ticked(controls_[Check1]);
    removeBreaks_ = Ticked(controls_[Check2]);
}

void frmMain::Layout(UINT dpi) {
    dpi_ = dpi;
    // The controls let go of the old font before it goes, at the end.
    const FontHandle previousFont = std::exchange(font_, MakeGuiFont(dpi));
    const int cell = design::TwipsToPixels(GaugeCellTwips, static_cast<int>(dpi));
    gaugeExtra_ = cell - TextExtent(window_, font_.get(), L"|").cx;

    RECT frame{0, 0, design::TwipsToPixels(ClientWidth, static_cast<int>(dpi)),
               design::TwipsToPixels(ClientHeight, static_cast<int>(dpi))};
    AdjustWindowRectExForDpi(&frame, Style, FALSE, 0, dpi);
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    bigIcon_ = LoadVelnorIcon(SM_CXICON, dpi);
    smallIcon_ = LoadVelnorIcon(SM_CXSMICON, dpi);
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));

    const int lineHeight = TextExtent(window_, font_.get(), L"").cy;
    for (int index = 0; index < ControlCount; ++index) {
        const design::ControlDesign& design = Controls()[index];
        HWND control = controls_[index];
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        RECT box = DesignedRect(Controls(), index, dpi);
        if (design.autoSize) {
            const SIZE size =
                CaptionSize(static_cast<frmMain_design::Control>(index), ControlText(control));
            box.right = box.left + size.cx;
            box.bottom = box.top + size.cy;
        } else if (design.wordWrap) {
            // Its lines may need a few pixels more than the designed box.
            const std::wstring text = ControlText(control);
            RECT needed = box;
            HDC dc = GetDC(control);
            const HGDIOBJ previous = SelectObject(dc, font_.get());
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
                      DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            SelectObject(dc, previous);
            ReleaseDC(control, dc);
            box.bottom = std::max(box.bottom, needed.bottom);
        } else if (design.kind == design::ControlKind::DriveList) {
            box.bottom += DriveLines * lineHeight;
        } else if (design.kind == design::ControlKind::DirectoryList) {
            SendMessageW(control, LB_SETITEMHEIGHT, 0, lineHeight + 2);
        }
        MoveWindow(control, box.left, box.top, box.right - box.left, box.bottom - box.top, FALSE);
    }
    InvalidateRect(window_, nullptr, TRUE);
}

int frmMain::CharacterExtra(frmMain_design::Control label) const {
    return label == sp1 || label == sp2 ? gaugeExtra_ : 0;
}

SIZE frmMain::CaptionSize(frmMain_design::Control label, const std::wstring& caption) const {
    SIZE size = TextExtent(window_, font_.get(), caption, CharacterExtra(label));
    if (caption.empty())
        size.cx = 0;
    return size;
}

void frmMain::SetCaption(frmMain_design::Control label, const std::string& utf8) {
    const std::wstring caption = Wide(utf8);
    HWND control = controls_[label];
    RECT before;
    GetWindowRect(control, &before);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&before), 2);
    const SIZE size = CaptionSize(label, caption);
    SetWindowPos(control, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    // The new text marks the whole label for repainting. A label that grew
    // repaints itself; one that shrank has the form repaint what it uncovered.
    SetWindowTextW(control, caption.c_str());
    if (size.cx >= before.right - before.left && size.cy >= before.bottom - before.top)
        UpdateWindow(control);
    else
        RedrawWindow(window_, &before, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pump_.SlowWorkDone();
}

bool frmMain::BackupTicked() const {
    return Ticked(controls_[Check4]);
}

std::string frmMain::ExtensionText() const {
    return Utf8(ControlText(controls_[Text1]));
}

bool frmMain::RemoveSpacesTicked() const {
    return removeSpaces_;
}

bool frmMain::RemoveBreaksTicked() const {
    return removeBreaks_;
}

std::filesystem::path frmMain::Drive() const {
    return Drive1_->Drive();
}

void frmMain::ShowFolders(const form::FolderListing& listing) {
    velnor::ShowFolders(controls_[Dir1], listing);
}

MessageAnswer frmMain::ShowMessage(const MessageBoxRequest& request) {
    return ShowMessageBox(window_, request);
}

void frmMain::ShowAbout() {
    // Modal and without an owner; it exists only while it is shown.
    frmAbout about;
    about.Show();
}

void frmMain::Yield() {
    pump_.Pass(window_);
}

void frmMain::EndProgram(int exitStatus) {
    ShowWindow(window_, SW_HIDE);
    endProgram_(exitStatus);
}

} // namespace velnor
