#include "os/win32/folder_lock.h"

#include "os/win32/file_info.h"
#include "os/win32/long_path.h"
#include "os/win32/win32_error.h"

#include <sddl.h>

#include <cwchar>
#include <string>
#include <vector>

namespace velnor {
namespace {

// "Global\Velnor-X-<volume>-<index>" for the exclusive mark, "-S-" for the shared.
std::wstring MarkName(wchar_t kind, const FileInfo& folder) {
    wchar_t name[64];
    std::swprintf(name, std::size(name), L"Global\\Velnor-%lc-%08lX-%016llX", kind, folder.Volume,
                  static_cast<unsigned long long>(folder.Index));
    return name;
}

// A mark another user made is there, though it may not be opened.
bool MarkExists(const std::wstring& name) {
    const HANDLE mark = OpenEventW(SYNCHRONIZE, FALSE, name.c_str());
    if (mark != nullptr) {
        CloseHandle(mark);
        return true;
    }
    return GetLastError() == ERROR_ACCESS_DENIED;
}

class HeldMarks : public FolderLock {
public:
    explicit HeldMarks(std::filesystem::path folder) : folder_(std::move(folder)) {
        // open to every user, who must see and share the marks
        ThrowIfFailed(ConvertStringSecurityDescriptorToSecurityDescriptorW(
                          L"D:(A;;0x1F0003;;;WD)", SDDL_REVISION_1, &descriptor_, nullptr),
                      folder_);
    }
    ~HeldMarks() override {
        for (const HANDLE mark : marks_) {
            CloseHandle(mark);
        }
        LocalFree(descriptor_);
    }
    HeldMarks(const HeldMarks&) = delete;
    HeldMarks& operator=(const HeldMarks&) = delete;

    // An exclusive mark that is there already is another holder's.
    void Publish(const std::wstring& name, bool exclusive) {
        SECURITY_ATTRIBUTES everyone{sizeof everyone, descriptor_, FALSE};
        const HANDLE mark = CreateEventW(&everyone, TRUE, FALSE, name.c_str());
        const DWORD error = GetLastError();
        if (mark == nullptr) {
            if (error == ERROR_ACCESS_DENIED) {
                throw FolderInUse(folder_);
            }
            throw Win32Error(error, folder_);
        }
        marks_.push_back(mark);
        if (exclusive && error == ERROR_ALREADY_EXISTS) {
            throw FolderInUse(folder_);
        }
    }

    void RefuseIf(bool conflict) const {
        if (conflict) {
            throw FolderInUse(folder_);
        }
    }

private:
    std::filesystem::path folder_;
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    std::vector<HANDLE> marks_;
};

// The folder's identity, links followed; none for one that cannot be opened.
bool IdentityOf(const std::filesystem::path& folder, FileInfo& info) {
    const UniqueHandle handle(CreateFileW(LongPath(folder).c_str(), FILE_READ_ATTRIBUTES, ShareAll,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                          nullptr));
    if (!handle) {
        return false;
    }
    info = InfoOf(handle.Get(), folder, true);
    return true;
}

} // namespace

std::unique_ptr<FolderLock> LockFolderTree(const std::filesystem::path& folder) {
    const std::filesystem::path resolved = FinalPath(folder);
    FileInfo own;
    if (!IdentityOf(resolved, own)) {
        throw Win32Error(GetLastError(), folder);
    }
    std::vector<FileInfo> above;
    for (std::filesystem::path up = resolved; up.has_relative_path();) {
        up = up.parent_path();
        if (FileInfo info; IdentityOf(up, info)) {
            above.push_back(info);
        }
    }
    auto held = std::make_unique<HeldMarks>(folder);
    held->Publish(MarkName(L'X', own), true);
    for (const FileInfo& info : above) {
        held->Publish(MarkName(L'S', info), false);
    }
    held->RefuseIf(MarkExists(MarkName(L'S', own))); // a holder inside
    for (const FileInfo& info : above) {
        held->RefuseIf(MarkExists(MarkName(L'X', info))); // a holder around
    }
    return held;
}

} // namespace velnor
