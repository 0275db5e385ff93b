#include "ui/win32/drive_list.h"

#include <cwctype>
#include <system_error>

namespace velnor {

namespace {

std::wstring VolumeLabel(const std::wstring& root) {
    // A drive without a medium answers at once instead of asking for a disk.
    DWORD previousMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previousMode);
    wchar_t label[MAX_PATH + 1] = {};
    const bool read = GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr,
                                            nullptr, nullptr, 0);
    SetThreadErrorMode(previousMode, nullptr);
    return read ? label : L"";
}

bool SameDrive(const std::filesystem::path& a, const std::filesystem::path& b) {
    const std::wstring& x = a.native();
    const std::wstring& y = b.native();
    return !x.empty() && !y.empty() && std::towlower(x[0]) == std::towlower(y[0]);
}

} // namespace

std::vector<DriveEntry> LogicalDrives() {
    std::vector<DriveEntry> drives;
    const DWORD letters = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if ((letters & (1u << letter)) == 0)
            continue;
        const std::wstring root{wchar_t(L'A' + letter), L':', L'\\'};
        drives.push_back(DriveEntry{root, VolumeLabel(root)});
    }
    return drives;
}

std::wstring DriveCaption(const DriveEntry& drive) {
    const std::wstring& root = drive.Root.native();
    std::wstring caption{wchar_t(std::towlower(root.empty() ? L'?' : root[0])), L':'};
    if (!drive.Label.empty())
        caption += L" [" + drive.Label + L"]";
    return caption;
}

DriveList::DriveList(HWND comboBox, const DriveSource& drives) : comboBox_(comboBox) {
    for (const DriveEntry& drive : drives()) {
        SendMessageW(comboBox_, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(DriveCaption(drive).c_str()));
        roots_.push_back(drive.Root);
    }
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    Show(error ? std::filesystem::path(L"C:\\") : current.root_path());
}

std::filesystem::path DriveList::Drive() const {
    return shown_ < 0 ? std::filesystem::path() : roots_[static_cast<std::size_t>(shown_)];
}

bool DriveList::TakePick() {
    if (SendMessageW(comboBox_, CB_GETDROPPEDSTATE, 0, 0))
        return false;
    const int picked = static_cast<int>(SendMessageW(comboBox_, CB_GETCURSEL, 0, 0));
    if (picked < 0 || picked == shown_)
        return false;
    shown_ = picked;
    return true;
}

void DriveList::Show(const std::filesystem::path& root) {
    for (std::size_t index = 0; index < roots_.size(); ++index) {
        if (SameDrive(roots_[index], root)) {
            shown_ = static_cast<int>(index);
            SendMessageW(comboBox_, CB_SETCURSEL, index, 0);
            return;
        }
    }
    // A drive the list does not know (a network share as current folder).
    const DriveEntry extra{root, L""};
    SendMessageW(comboBox_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(DriveCaption(extra).c_str()));
    roots_.push_back(root);
    shown_ = static_cast<int>(roots_.size() - 1);
    SendMessageW(comboBox_, CB_SETCURSEL, static_cast<WPARAM>(shown_), 0);
}

} // namespace velnor
