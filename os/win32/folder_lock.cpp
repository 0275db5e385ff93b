#include "os/win32/folder_lock.h"

#include "os/win32/win32_error.h"
#include "os/win32/windows_api.h"

#include <sddl.h>

#include <cwchar>
#include <string>
#include <vector>

namespace velnor {
namespace {

// "Global\Velnor-X-<volume>-<index>" for the exclusive mark, "-S-" for the shared.
std::wstring MarkName(wchar_t kind, const FolderId& folder) {
    wchar_t name[64];
    std::swprintf(name, std::size(name), L"Global\\Velnor-%lc-%08llX-%016llX", kind,
                  static_cast<unsigned long long>(folder.volume),
                  static_cast<unsigned long long>(folder.index));
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

} // namespace

std::unique_ptr<FolderLock> LockFolderTree(const FolderId& folder,
                                           const std::vector<FolderId>& above,
                                           const std::filesystem::path& shown) {
    auto held = std::make_unique<HeldMarks>(shown);
    held->Publish(MarkName(L'X', folder), true);
    for (const FolderId& up : above)
        held->Publish(MarkName(L'S', up), false);
    held->RefuseIf(MarkExists(MarkName(L'S', folder))); // a holder inside
    for (const FolderId& up : above)
        held->RefuseIf(MarkExists(MarkName(L'X', up))); // a holder around
    return held;
}

} // namespace velnor
