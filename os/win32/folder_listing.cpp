#include "os/win32/folder_listing.h"

#include "os/win32/handle_info.h"
#include "os/win32/nt_calls.h"
#include "os/win32/win32_error.h"

#include <string_view>

namespace velnor {
namespace {

constexpr ULONG BufferSize = 1 << 16;

// The reparse tag of an entry that is a reparse point comes where the size
// of its extended attributes would be.
Entry EntryOf(const FILE_FULL_DIR_INFORMATION& found) {
    const std::wstring_view name(found.FileName, found.FileNameLength / sizeof(wchar_t));
    return {EntryName(name), EntryKindOf(found.FileAttributes, found.EaSize)};
}

} // namespace

std::vector<Entry> ListFolder(HANDLE folder, const std::filesystem::path& shown) {
    UniqueHandle listing;
    ThrowIfNtFailed(OpenAt(folder, {}, FILE_LIST_DIRECTORY, ShareAll, FILE_OPEN,
                           FILE_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT, listing),
                    shown);
    std::vector<Entry> entries;
    std::vector<char> buffer(BufferSize);
    for (bool first = true;; first = false) {
        const NTSTATUS status = QueryEntries(listing.Get(), buffer.data(), BufferSize, first);
        // an empty drive root has not even "." and ".."
        if (status == STATUS_NO_MORE_FILES || (first && status == STATUS_NO_SUCH_FILE))
            return entries;
        ThrowIfNtFailed(status, shown);
        for (std::size_t at = 0;;) {
            const auto& found = *reinterpret_cast<const FILE_FULL_DIR_INFORMATION*>(&buffer[at]);
            Entry entry = EntryOf(found);
            if (entry.name != L"." && entry.name != L"..")
                entries.push_back(std::move(entry));
            if (found.NextEntryOffset == 0)
                break;
            at += found.NextEntryOffset;
        }
    }
}

} // namespace velnor
