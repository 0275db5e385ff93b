#include "os/win32/folder_parent.h"

#include "os/win32/handle_info.h"
#include "os/win32/nt_calls.h"

#include <string>

namespace velnor {

bool OpenParentOf(HANDLE folder, ACCESS_MASK access, UniqueHandle& parent) {
    std::wstring local; // from the volume's root: "\site\a"
    std::wstring whole; // with the volume: "\Device\HarddiskVolume2\site\a"
    if (!NT_SUCCESS(QueryFileName(folder, local)) || local.size() < 2 ||
        !NT_SUCCESS(QueryObjectName(folder, whole)) || !whole.ends_with(local))
        return false; // the root, or a name the system does not tell
    const std::wstring volume = whole.substr(0, whole.size() - local.size());
    if (local.back() == L'\\')
        local.pop_back();
    const std::size_t slash = local.rfind(L'\\');
    UniqueHandle up;
    if (!NT_SUCCESS(OpenNtPath(volume + local.substr(0, slash == 0 ? 1 : slash), access,
                               FILE_DIRECTORY_FILE, up)))
        return false;
    UniqueHandle again;
    HandleInfo found;
    HandleInfo own;
    if (!NT_SUCCESS(OpenAt(up.Get(), std::wstring_view(local).substr(slash + 1),
                           FILE_READ_ATTRIBUTES, ShareAll, FILE_OPEN,
                           FILE_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT, again)) ||
        !NT_SUCCESS(QueryInfo(again.Get(), found)) || !NT_SUCCESS(QueryInfo(folder, own)) ||
        found.Index != own.Index)
        return false;
    parent = std::move(up);
    return true;
}

} // namespace velnor
