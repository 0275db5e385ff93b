
#include "os/win32/win32_registry.h"

#include <windows.h>

namespace velnor {
namespace {

// A predefined root is a 32-bit value that Windows sign-extends into a handle.
HKEY RootHandle(RegistryRoot root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG_PTR>(root)));
}

HKEY KeyHandle(RegistryKey handle) {
    return reinterpret_cast<HKEY>(handle);
}

// The A functions stop at the first NUL; a name holding one would silently
// address another key or value.
bool HoldsNul(const std::string& text) {
    return text.find('\0') != std::string::npos;
}

} // namespace

std::int32_t Win32Registry::Open(RegistryRoot root, const std::string& path, std::uint32_t options,
                                 std::uint32_t accessMask, RegistryKey& handle) {
    if (HoldsNul(path)) {
        return ERROR_INVALID_PARAMETER;
    }
    HKEY opened = nullptr;
    const LSTATUS status =
        RegOpenKeyExA(RootHandle(root), path.c_str(), options, accessMask, &opened);
    if (status == ERROR_SUCCESS) {
        handle = reinterpret_cast<RegistryKey>(opened);
    }
    return status;
}

std::int32_t Win32Registry::QueryValue(RegistryKey handle, const std::string& name,
                                       std::uint32_t& type, unsigned char* data,
                                       std::uint32_t& size) {
    if (HoldsNul(name)) {
        return ERROR_INVALID_PARAMETER;
    }
    DWORD valueType = 0;
    DWORD length = size;
    const LSTATUS status =
        RegQueryValueExA(KeyHandle(handle), name.c_str(), nullptr, &valueType, data, &length);
    type = valueType;
    size = length;
    return status;
}

std::int32_t Win32Registry::Close(RegistryKey handle) {
    return RegCloseKey(KeyHandle(handle));
}

} // namespace velnor
