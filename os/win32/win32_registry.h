#pragma once

#include "core/about/registry.h"

namespace velnor {

// The Windows registry through advapi32's ANSI functions.
class Win32Registry : public Registry {
public:
    std::int32_t Open(RegistryRoot root, const std::string& path, std::uint32_t options,
                      std::uint32_t accessMask, RegistryKey& handle) override;
    std::int32_t QueryValue(RegistryKey handle, const std::string& name, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& size) override;
    std::int32_t Close(RegistryKey handle) override;
};

} // namespace velnor
