#include "ui/win32/frmMain.h"

#include "core/identity.h"
#include "ui/design/twips.h"
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
const char* const SettingsSection = "Root";
const char* const SettingsKey = "Path";
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
    : settings_(services.settings ? std::move(services.settings)
                                  : std::shared_ptr<SettingsStore>(MakeSettingsStore())),
      makeFileSystem_(services.makeFileSystem ? std::move(services.makeFileSystem)
                                              : FileSystemFactory([] { return MakeFileSystem(); })),
      drives_(services.drives ? std::move(services.drives) : DriveSource(&LogicalDrives)),
      endProgram_(services.endProgram ? std::move(services.endProgram)
                                      : [](int code) { PostQuitMessage(code); }),
      run_(*this, makeFileSystem_) {
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
    Form_Load();
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
        if (wParam == FirstId + frmMain_design::Dir1) {
            Dir1_->Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
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
        Form_Close();
        return 0;
    case WM_ENDSESSION:
        if (wParam)
            Form_Close();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void frmMain::OnCommand(int id, int notification) {
    const auto openFolder = [this] {
        try {
            Dir1_->OpenSelected();
        } catch (const std::exception& error) {
            ShowFailure(error.what());
        }
    };
    switch (id - FirstId) {
    case frmMain_design::Command1:
        if (notification == BN_CLICKED)
            Command1_Click();
        return;
    case frmMain_design::Command2:
        if (notification == BN_CLICKED)
            Command2_Click();
        return;
    case frmMain_design::Command3:
        if (notification == BN_CLICKED)
            Command3_Click();
        return;
    case frmMain_design::Check1:
    case frmMain_design::Check2:
        if (notification == BN_CLICKED)
            ReadTicks();
        return;
    case frmMain_design::Drive1:
        if ((notification == CBN_SELCHANGE || notification == CBN_CLOSEUP) && Drive1_->TakePick())
            Drive1_Change();
        return;
    case frmMain_design::Dir1:
        if (notification == LBN_DBLCLK)
            openFolder();
        return;
    default:
        break;
    }
    // Enter in the directory list opens the folder; elsewhere it presses nothing.
    if (id == IDOK && GetFocus() == controls_[frmMain_design::Dir1])
        openFolder();
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
    Drive1_.emplace(controls_[frmMain_design::Drive1], drives_);
    Dir1_.emplace(controls_[frmMain_design::Dir1], makeFileSystem_);
    MakeExtensionBox(controls_[frmMain_design::Text1]);
    ReadTicks();
}

void frmMain::ReadTicks() {
    removeSpaces_ = Ticked(controls_[frmMain_design::Check1]);
    removeBreaks_ = Ticked(controls_[frmMain_design::Check2]);
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
    return label == frmMain_design::sp1 || label == frmMain_design::sp2 ? gaugeExtra_ : 0;
}

SIZE frmMain::CaptionSize(frmMain_design::Control label, const std::wstring& caption) const {
    SIZE size = TextExtent(window_, font_.get(), caption, CharacterExtra(label));
    if (caption.empty())
        size.cx = 0;
    return size;
}

void frmMain::SetLabelCaption(frmMain_design::Control label, const std::wstring& caption) {
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

void frmMain::Form_Load() {
    // A remembered folder that is gone or cannot be opened is silently ignored.
    try {
        const std::string folder = settings_->Read(identity::InternalName, SettingsSection,
                                                   SettingsKey, Utf8(Dir1_->Path().native()));
        Dir1_->SetPath(Wide(folder));
    } catch (const std::exception&) {
    }
    run_.Gauges().UpdateFileBar(0);
    run_.Gauges().UpdatePackBar(0);
    SetRatio(0);
}

void frmMain::Command1_Click() {
    // A run abandoned at a yield ends here; the close has stored the folder already.
    run_.Start();
}

void frmMain::Command2_Click() {
    run_.Restore();
}

void frmMain::Command3_Click() {
    // Modal and without an owner; it exists only while it is shown.
    frmAbout about;
    about.Show();
}

void frmMain::Drive1_Change() {
    try {
        Dir1_->SetPath(Drive1_->Drive());
    } catch (const std::exception& error) {
        ShowFailure(error.what());
    }
}

void frmMain::OpenFolder(const std::filesystem::path& folder) {
    try {
        Dir1_->SetPath(folder);
    } catch (const std::exception& error) {
        ShowFailure(error.what());
    }
}

void frmMain::ShowFailure(const std::string& description) {
    ShowMessage({.text = description, .title = identity::ApplicationTitle});
}

void frmMain::Form_Close() {
    // A close is never refused.
    if (closed_)
        return;
    closed_ = true;
    int exitCode = 0;
    try {
        settings_->Write(identity::InternalName, SettingsSection, SettingsKey,
                         Utf8(Dir1_->Path().native()));
    } catch (const std::exception& error) {
        // The program still ends, but not silently: the folder is not remembered.
        ShowMessage({.text = error.what(),
                     .title = identity::ApplicationTitle,
                     .icon = MessageIcon::Critical});
        exitCode = 1;
    }
    ShowWindow(window_, SW_HIDE);
    endProgram_(exitCode);
}

std::filesystem::path frmMain::FolderPath() const {
    return Dir1_->Path();
}

bool frmMain::BackupTicked() const {
    return Ticked(controls_[frmMain_design::Check4]);
}

std::string frmMain::ExtensionText() const {
    return Utf8(ControlText(controls_[frmMain_design::Text1]));
}

bool frmMain::RemoveSpacesTicked() const {
    return removeSpaces_;
}

bool frmMain::RemoveBreaksTicked() const {
    return removeBreaks_;
}

void frmMain::SetStatus(const std::string& caption) {
    const std::wstring text = Wide(caption);
    if (text != ControlText(controls_[frmMain_design::lbstate]))
        SetLabelCaption(frmMain_design::lbstate, text);
}

void frmMain::SetRatio(std::int16_t percent) {
    // Called at every character: only a change costs a caption and a repaint.
    if (percent == ratioShown_)
        return;
    ratioShown_ = percent;
    SetLabelCaption(frmMain_design::yasuoLv, std::to_wstring(percent) + L"%");
}

void frmMain::SetGaugeCells(Gauge gauge, std::int16_t cells) {
    const frmMain_design::Control label =
        gauge == Gauge::FileBar ? frmMain_design::sp1 : frmMain_design::sp2;
    std::int16_t& shown = gaugeCells_[gauge == Gauge::FileBar ? 0 : 1];
    // An empty gauge is emptied again at every character while its percentage rounds to 0.
    if (cells == shown)
        return;
    shown = cells;
    SetLabelCaption(label, std::wstring(static_cast<std::size_t>(std::max<int>(cells, 0)), L'|'));
}

void frmMain::Yield() {
    if (!closed_)
        pump_.Pass(window_);
    if (closed_)
        throw RunAbandoned{};
}

MessageAnswer frmMain::ShowMessage(const MessageBoxRequest& request) {
    return ShowMessageBox(window_, request);
}

} // namespace velnor
