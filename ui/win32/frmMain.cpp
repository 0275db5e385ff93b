#include "ui/win32/frmMain.h"

#include "core/identity.h"
#include "ui/design/twips.h"
#include "ui/win32/directory_list.h"
#include "ui/win32/extension_box.h"
#include "ui/win32/form_window.h"
#include "ui/win32/frmAbout.h"
#include "ui/win32/message_box.h"
#include "ui/win32/wide_text.h"

#include <utility>

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

} // namespace

frmMain::frmMain(frmMainServices services)
    : drives_(services.drives ? std::move(services.drives) : DriveSource(&LogicalDrives)),
      endProgram_(services.endProgram ? std::move(services.endProgram)
                                      : [](int code) { PostQuitMessage(code); }),
      form_(*this,
            services.settings ? std::move(services.settings)
                              : std::shared_ptr<SettingsStore>(MakeSettingsStore()),
            std::move(services.makeFileSystem)) {
    window_ = CreateFormWindow(ClassName, identity::ApplicationTitle, Style);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
    CreateControls();
    Layout(GetDpiForWindow(window_));
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
    case WM_ENDSESSION:
        // A close is never refused; a session that goes on ends nothing.
        if (message == WM_CLOSE || wParam)
            form_.Form_Unload();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void frmMain::OnCommand(int id, int notification) {
    const int control = id - FirstId;
    const bool clicked = notification == BN_CLICKED;
    if (clicked && (control == Check1 || control == Check2))
        ReadTicks();
    else if (clicked && control == Command1)
        form_.Command1_Click();
    else if (clicked && control == Command2)
        form_.Command2_Click();
    else if (clicked && control == Command3)
        form_.Command3_Click();
    else if (control == Drive1 && (notification == CBN_SELCHANGE || notification == CBN_CLOSEUP) &&
             Drive1_->TakePick())
        form_.Drive1_Change();
    // Enter in the directory list opens the folder; elsewhere it presses nothing.
    else if ((control == Dir1 && notification == LBN_DBLCLK) ||
             (id == IDOK && GetFocus() == controls_[Dir1]))
        OpenSelectedFolder();
}

void frmMain::OpenSelectedFolder() {
    const LRESULT selected = SendMessageW(controls_[Dir1], LB_GETCURSEL, 0, 0);
    if (selected >= 0)
        form_.Dir1_Open(static_cast<std::size_t>(selected));
}

void frmMain::CreateControls() {
    CreateDesignedControls(
        window_, Controls(), CreationOrder(Controls(), FocusOrder),
        [](int index) { return FirstId + index; }, controls_);
    Drive1_.emplace(controls_[Drive1], drives_);
    MakeExtensionBox(controls_[Text1]);
    ReadTicks();
}

void frmMain::ReadTicks() {
    removeSpaces_ = Ticked(controls_[Check1]);
    removeBreaks_ = Ticked(controls_[Check2]);
}

void frmMain::Layout(UINT dpi) {
    // The controls let go of the old font before it goes, at the end.
    const FontHandle previousFont = std::exchange(font_, MakeGuiFont(dpi));
    const int cell = design::TwipsToPixels(GaugeCellTwips, static_cast<int>(dpi));
    gaugeExtra_ = cell - TextExtent(window_, font_.get(), L"|").cx;

    SetClientSize(window_, ClientWidth, ClientHeight, dpi);
    SetVelnorIcons(window_, dpi, bigIcon_, smallIcon_);

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
            box = WrappedTextRect(control, font_.get(), box);
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
    return TextExtent(window_, font_.get(), caption, CharacterExtra(label));
}

void frmMain::SetCaption(frmMain_design::Control label, const std::string& caption) {
    const std::wstring text = Wide(caption);
    SetAutoSizeCaption(window_, controls_[label], text, CaptionSize(label, text));
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
