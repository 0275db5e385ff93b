#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace velnor {

// A root key, or the handle of a key that Open gave.
using RegistryRoot = std::int32_t;
using RegistryKey = std::uintptr_t;

// The predefined roots (HKEY_CLASSES_ROOT...), with the values Windows gives them.
namespace registry_root {
inline constexpr RegistryRoot ClassesRoot = static_cast<RegistryRoot>(0x80000000u);
inline constexpr RegistryRoot CurrentUser = static_cast<RegistryRoot>(0x80000001u);
inline constexpr RegistryRoot LocalMachine = static_cast<RegistryRoot>(0x80000002u);
inline constexpr RegistryRoot Users = static_cast<RegistryRoot>(0x80000003u);
inline constexpr RegistryRoot CurrentConfig = static_cast<RegistryRoot>(0x80000005u);
} // namespace registry_root

// Status codes, as the Windows registry functions return them.
namespace registry_status {
enum : std::int32_t {
    Success = 0,
    FileNotFound = 2,
    InvalidHandle = 6,
    InvalidParameter = 87,
    MoreData = 234
};
} // namespace registry_status

// Value type codes.
namespace registry_type {
enum : std::uint32_t { Sz = 1, ExpandSz = 2, Binary = 3, Dword = 4 };
} // namespace registry_type

// The three registry calls the About box makes (RegOpenKeyExA,
// RegQueryValueExA, RegCloseKey). Key paths, value names and text data are in
// the ANSI code page. Failures are status codes, never exceptions, except
// where the registry itself cannot be read at all.
class Registry {
public:
    virtual ~Registry() = default;

    // Success and an open handle when the key exists below the root.
    virtual std::int32_t Open(RegistryRoot root, const std::string& path, std::uint32_t options,
                              std::uint32_t accessMask, RegistryKey& handle) = 0;
    // On entry size is the length of data; on Success it is the value's
    // length, and data holds it. A value longer than the given size gives
    // MoreData and the length it needs; data is then unspecified.
    virtual std::int32_t QueryValue(RegistryKey handle, const std::string& name,
                                    std::uint32_t& type, unsigned char* data,
                                    std::uint32_t& size) = 0;
    virtual std::int32_t Close(RegistryKey handle) = 0;
};

// The machine's registry: advapi32 on Windows; elsewhere a REGEDIT4 export
// file (RegeditRegistry) where the OS layer keeps it.
std::unique_ptr<Registry> MakeSystemRegistry();

} // namespace velnor
