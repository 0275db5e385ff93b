#include "os/win32/owner_rights.h"

#include "os/win32/unique_handle.h"

#include <algorithm>

namespace velnor {
namespace {

using Sid = std::vector<BYTE>;

Sid Copy(PSID sid) {
    const auto* bytes = static_cast<const BYTE*>(sid);
    return Sid(bytes, bytes + GetLengthSid(sid));
}

template <typename Info> std::vector<BYTE> Query(HANDLE token, TOKEN_INFORMATION_CLASS kind) {
    DWORD size = 0;
    GetTokenInformation(token, kind, nullptr, 0, &size);
    std::vector<BYTE> buffer(std::max<DWORD>(size, sizeof(Info)));
    if (!GetTokenInformation(token, kind, buffer.data(), static_cast<DWORD>(buffer.size()), &size))
        buffer.clear();
    return buffer;
}

// The user and the groups it may give files to, which do not change while
// the program runs.
std::vector<Sid> OwnIdentities() {
    std::vector<Sid> own;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return own;
    const UniqueHandle held(token);
    const std::vector<BYTE> user = Query<TOKEN_USER>(token, TokenUser);
    if (!user.empty())
        own.push_back(Copy(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid));
    const std::vector<BYTE> groups = Query<TOKEN_GROUPS>(token, TokenGroups);
    if (!groups.empty()) {
        const auto* list = reinterpret_cast<const TOKEN_GROUPS*>(groups.data());
        for (DWORD i = 0; i < list->GroupCount; ++i)
            if ((list->Groups[i].Attributes & SE_GROUP_OWNER) != 0)
                own.push_back(Copy(list->Groups[i].Sid));
    }
    return own;
}

// Taken up once, for good: it lets the program give files away and nothing
// else it does.
bool MayRestore() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return false;
    const UniqueHandle held(token);
    TOKEN_PRIVILEGES privilege{};
    privilege.PrivilegeCount = 1;
    privilege.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueW(nullptr, L"SeRestorePrivilege", &privilege.Privileges[0].Luid) ||
        !AdjustTokenPrivileges(token, FALSE, &privilege, sizeof privilege, nullptr, nullptr))
        return false;
    return GetLastError() == ERROR_SUCCESS; // not ERROR_NOT_ALL_ASSIGNED
}

} // namespace

bool CanGiveTo(const std::vector<BYTE>& owner) {
    static const std::vector<Sid> own = OwnIdentities();
    if (std::find(own.begin(), own.end(), owner) != own.end())
        return true;
    static const bool mayRestore = MayRestore();
    return mayRestore;
}

} // namespace velnor
