#pragma once

#include "core/about/registry.h"

#include <cstdint>
#include <string>

namespace velnor {

// READ_CONTROL with all six specific key rights (query and set value, create
// and enumerate subkeys, notify, create link).
inline constexpr std::uint32_t KeyAccessMask = 0x2003F;
inline constexpr std::uint32_t KeyValueBufferSize = 1024;

// Reads the value SubKeyRef of the key KeyName below KeyRoot into KeyVal:
// REG_SZ as ANSI text, REG_DWORD as "&h" and capital hex digits without
// leading zeros; any other type leaves KeyVal as it was. False, with KeyVal
// empty, when the key cannot be opened or the value cannot be read (missing,
// or longer than the buffer). Throws std::invalid_argument for a value with
// no data, a REG_DWORD longer than four bytes or a name with no ANSI form.
bool GetKeyValue(Registry& registry, const RegistryRoot& KeyRoot, const std::u16string& KeyName,
                 const std::u16string& SubKeyRef, std::u16string& KeyVal);

} // namespace velnor
