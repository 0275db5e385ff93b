#include "ui/win32/directory_list.h"

#include "core/files/tree_walk.h"
#include "ui/win32/wide_text.h"

#include <cwctype>
#include <system_error>

namespace velnor {

namespace {

std::filesystem::path Normalised(const std::filesystem::path& path) {
    if (path.empty())
        throw FileSystemError("The folder has no name.");
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error).lexically_normal();
    if (error)
        throw FileSystemError(Utf8(path.native()) + ": " + error.message());
    if (!absolute.has_filename() && absolute != absolute.root_path())
        absolute = absolute.parent_path();
    return absolute;
}

std::wstring NameOf(const std::filesystem::path& folder) {
    if (folder != folder.root_path())
        return folder.filename().native();
    std::wstring root = folder.native();
    if (!root.empty())
        root[0] = static_cast<wchar_t>(std::towlower(root[0]));
    return root;
}

} // namespace

DirectoryList::DirectoryList(HWND listBox, FileSystemFactory makeFileSystem)
    : listBox_(listBox), makeFileSystem_(std::move(makeFileSystem)) {
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    try {
        SetPath(error ? std::filesystem::path(L"C:\\") : current);
    } catch (const std::exception&) {
        SetPath(current.root_path());
    }
}

void DirectoryList::SetPath(const std::filesystem::path& path) {
    const std::filesystem::path folder = Normalised(path);
    // Listed first: a folder that cannot be opened leaves the list as it was.
    // Links are left out, as the scan leaves them.
    std::vector<Entry> subFolders = SortedEntries(*makeFileSystem_()->OpenFolder(folder));
    std::erase_if(subFolders, [](const Entry& entry) { return entry.kind != EntryKind::Folder; });

    std::vector<Line> lines;
    std::filesystem::path chain = folder.root_path();
    lines.push_back({chain, 0});
    for (const std::filesystem::path& part : folder.relative_path())
        lines.push_back({chain /= part, static_cast<int>(lines.size())});
    const int open = static_cast<int>(lines.size()) - 1;
    for (const Entry& sub : subFolders)
        lines.push_back({folder / sub.name, open + 1});

    lines_ = std::move(lines);
    path_ = folder;
    SendMessageW(listBox_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(listBox_, LB_RESETCONTENT, 0, 0);
    for (const Line& line : lines_)
        SendMessageW(listBox_, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(NameOf(line.Folder).c_str()));
    SendMessageW(listBox_, LB_SETCURSEL, static_cast<WPARAM>(open), 0);
    SendMessageW(listBox_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listBox_, nullptr, TRUE);
}

void DirectoryList::OpenSelected() {
    const LRESULT selected = SendMessageW(listBox_, LB_GETCURSEL, 0, 0);
    if (selected >= 0 && static_cast<std::size_t>(selected) < lines_.size())
        SetPath(lines_[static_cast<std::size_t>(selected)].Folder);
}

void DirectoryList::Draw(const DRAWITEMSTRUCT& item) const {
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= lines_.size())
        return;
    const Line& line = lines_[item.itemID];
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SetBkMode(item.hDC, TRANSPARENT);
    const int height = item.rcItem.bottom - item.rcItem.top;
    RECT text = item.rcItem;
    text.left += 2 + line.Depth * height * 3 / 4;
    const std::wstring name = NameOf(line.Folder);
    DrawTextW(item.hDC, name.c_str(), static_cast<int>(name.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
}

} // namespace velnor
