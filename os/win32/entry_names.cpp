#include "os/win32/entry_names.h"

#include "os/win32/handle_info.h"
#include "os/win32/nt_calls.h"
#include "os/win32/win32_error.h"
#include "os/win32/wine.h"

namespace velnor {
namespace {

bool SameName(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

} // namespace

bool EntryNames::IsItself(HANDLE entry, std::wstring_view name,
                          const std::filesystem::path& shown) {
    if (!UnderWine())
        return true;
    std::wstring whole;
    ThrowIfNtFailed(QueryObjectName(entry, whole), shown);
    const std::size_t slash = whole.rfind(L'\\');
    if (slash == std::wstring::npos) // no name: the folder's own no longer leads anywhere
        throw FolderMoved(folderShown_);
    if (!SameName(std::wstring_view(whole).substr(slash + 1), name))
        return false;
    // the folder's own name; a drive's root keeps its "\"
    whole.resize(slash > 0 && whole[slash - 1] == L':' ? slash + 1 : slash);
    const std::lock_guard lock(mutex_);
    if (SameName(whole, folderName_))
        return true;
    if (IsFolder(whole)) { // found, or moved since
        folderName_ = whole;
        return true;
    }
    // a link to a name alike elsewhere, when the folder is where its own
    // name says
    std::wstring own;
    if (NT_SUCCESS(QueryObjectName(folder_, own)) && IsFolder(own)) {
        folderName_ = own;
        return false;
    }
    throw FolderMoved(folderShown_);
}

bool EntryNames::IsFolder(const std::wstring& name) {
    UniqueHandle there;
    HandleInfo found;
    HandleInfo own;
    return NT_SUCCESS(OpenNtPath(name, FILE_READ_ATTRIBUTES, FILE_DIRECTORY_FILE, there)) &&
           NT_SUCCESS(QueryInfo(there.Get(), found)) && NT_SUCCESS(QueryInfo(folder_, own)) &&
           found.Index == own.Index;
}

} // namespace velnor
