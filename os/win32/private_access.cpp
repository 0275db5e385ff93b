#include "os/win32/private_access.h"

#include "os/win32/win32_error.h"
#include "os/win32/wine.h"
#include "os/win32/wine_permissions.h"

#include <sddl.h>

namespace velnor {
namespace {

std::wstring RunningUser() {
    HANDLE token = nullptr;
    std::wstring text;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return text;
    BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    wchar_t* sid = nullptr;
    if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid)) {
        text = sid;
        LocalFree(sid);
    }
    CloseHandle(token);
    return text;
}

} // namespace

std::shared_ptr<void> OwnerOnly() {
    static const std::shared_ptr<void> descriptor =
        UnderWine() ? WineOwnerOnly() : DescriptorOf(L"D:P(A;;FA;;;" + RunningUser() + L")");
    return descriptor;
}

std::shared_ptr<void> NewFolderSecurity() {
    return UnderWine() ? OwnerOnly() : nullptr;
}

void MakeOwnerOnly(HANDLE handle, const std::filesystem::path& target) {
    SetDescriptor(handle, OwnerOnly(), target);
}

std::shared_ptr<void> DescriptorOf(const std::wstring& text) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1,
                                                              &descriptor, nullptr))
        return nullptr;
    return std::shared_ptr<void>(descriptor, LocalFree);
}

void SetDescriptor(HANDLE handle, const std::shared_ptr<void>& descriptor,
                   const std::filesystem::path& target) {
    const SECURITY_INFORMATION what =
        DACL_SECURITY_INFORMATION | (UnderWine() ? OWNER_SECURITY_INFORMATION : 0);
    ThrowIfFailed(descriptor && SetKernelObjectSecurity(handle, what, descriptor.get()), target);
}

} // namespace velnor
