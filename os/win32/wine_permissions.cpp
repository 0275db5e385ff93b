#include "os/win32/wine_permissions.h"

#include "os/win32/private_access.h"

#include <cwchar>
#include <iterator>
#include <string>

namespace velnor {
namespace {

// OWNER RIGHTS: a name that is not the running user's.
constexpr const wchar_t* OwnerAlone = L"S-1-3-4";

struct Rights {
    bool read = false;
    bool write = false;
};

Rights RightsOf(ACCESS_MASK mask) {
    return {(mask & FILE_READ_DATA) != 0, (mask & (FILE_WRITE_DATA | FILE_APPEND_DATA)) != 0};
}

// What the owner's entries and everyone's allow, denials before them taken
// off; a list that cannot be read leaves the owner alone to read and write.
void ReadRights(PSECURITY_DESCRIPTOR security, Rights& owner, Rights& everyone) {
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL list = nullptr;
    PSID ownerSid = nullptr;
    BYTE world[SECURITY_MAX_SID_SIZE];
    DWORD worldSize = sizeof world;
    if (!security || !GetSecurityDescriptorDacl(security, &present, &list, &defaulted) ||
        !present || list == nullptr ||
        !GetSecurityDescriptorOwner(security, &ownerSid, &defaulted) || ownerSid == nullptr ||
        !CreateWellKnownSid(WinWorldSid, nullptr, world, &worldSize)) {
        owner = {true, true};
        return;
    }
    Rights denied;
    for (DWORD i = 0; i < list->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* entry = nullptr;
        if (!GetAce(list, i, reinterpret_cast<void**>(&entry)) ||
            (entry->Header.AceFlags & INHERIT_ONLY_ACE) != 0)
            continue;
        const PSID sid = &entry->SidStart;
        const Rights rights = RightsOf(entry->Mask);
        const bool isOwner = EqualSid(sid, ownerSid);
        if (entry->Header.AceType == ACCESS_DENIED_ACE_TYPE && isOwner) {
            denied.read |= rights.read;
            denied.write |= rights.write;
        } else if (entry->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && isOwner) {
            owner.read |= rights.read && !denied.read;
            owner.write |= rights.write && !denied.write;
        } else if (entry->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && EqualSid(sid, world)) {
            everyone.read |= rights.read;
            everyone.write |= rights.write;
        }
    }
}

std::wstring Mask(const Rights& rights, bool folder) {
    ACCESS_MASK mask = 0;
    if (rights.read)
        mask |= FILE_GENERIC_READ | (folder ? FILE_GENERIC_EXECUTE : 0);
    if (rights.write)
        mask |= FILE_GENERIC_WRITE;
    wchar_t text[16];
    std::swprintf(text, std::size(text), L"0x%lX", mask);
    return text;
}

} // namespace

void SetPermissionBits(HANDLE handle, const std::shared_ptr<void>& security, bool folder,
                       const std::filesystem::path& target) {
    Rights owner;
    Rights everyone;
    ReadRights(security.get(), owner, everyone);
    std::wstring text = std::wstring(L"O:") + OwnerAlone + L"D:P(A;;" + Mask(owner, folder) +
                        L";;;" + OwnerAlone + L")";
    if (everyone.read || everyone.write)
        text += L"(A;;" + Mask(everyone, folder) + L";;;WD)";
    SetDescriptor(handle, DescriptorOf(text), target);
}

std::shared_ptr<void> WineOwnerOnly() {
    return DescriptorOf(std::wstring(L"O:") + OwnerAlone + L"D:P(A;;FA;;;" + OwnerAlone + L")");
}

} // namespace velnor
