#include "ui/win32/directory_list.h"

#include "core/files/physical_path.h"
#include "core/files/tree_walk.h"
#include "ui/win32/wide_text.h"

#include <algorithm>
#include <cwctype>
#include <string_view>

namespace velnor {

namespace {

constexpr std::wstring_view ShareRoot = L"\\\\?\\UNC\\";

std::filesystem::path Normalised(const std::filesystem::path& path) {
    if (path.empty())
        throw FileSystemError("The folder has no name.");
    return PhysicalPath(path);
}

// Where the root ends: "C:\", "\\?\UNC\server\share\" (std::filesystem here
// knows no share root), "\\?\Volume{...}\".
std::size_t RootLength(std::wstring_view folder) {
    if (folder.size() >= 3 && folder[1] == L':')
        return 3;
    if (!folder.starts_with(L"\\\\"))
        return 1;
    std::size_t end = folder.starts_with(ShareRoot) ? ShareRoot.size() : 2;
    for (int name = 0; name < 2 && end != std::wstring_view::npos; ++name) {
        end = folder.find(L'\\', end);
        if (end != std::wstring_view::npos)
            ++end;
    }
    return end == std::wstring_view::npos ? folder.size() : end;
}

// The folders from the root down to folder.
std::vector<std::filesystem::path> Chain(const std::filesystem::path& folder) {
    const std::wstring& text = folder.native();
    std::vector<std::filesystem::path> chain{text.substr(0, RootLength(text))};
    for (std::size_t end = chain.front().native().size(); end < text.size(); ++end) {
        end = std::min(text.find(L'\\', end), text.size());
        chain.emplace_back(text.substr(0, end));
    }
    return chain;
}

std::wstring NameOf(const std::filesystem::path& folder) {
    std::wstring root = folder.native();
    if (RootLength(root) < root.size())
        return folder.filename().native();
    if (root.starts_with(ShareRoot))
        return L"\\\\" + root.substr(ShareRoot.size(), root.size() - ShareRoot.size() - 1);
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
    for (std::filesystem::path& above : Chain(folder))
        lines.push_back({std::move(above), static_cast<int>(lines.size())});
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
