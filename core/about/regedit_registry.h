#pragma once

#include "core/about/regedit_file.h"
#include "core/about/registry.h"

#include <filesystem>
#include <map>
#include <optional>

namespace velnor {

// The registry where the system has none: the keys and values of a REGEDIT4
// export file, read when the first key is opened. No file means no keys. A
// file that cannot be read or parsed makes Open throw. Every key grants every
// right, so options and access mask are accepted as given.
class RegeditRegistry : public Registry {
public:
    explicit RegeditRegistry(std::filesystem::path file);

    std::int32_t Open(RegistryRoot root, const std::string& path, std::uint32_t options,
                      std::uint32_t accessMask, RegistryKey& handle) override;
    std::int32_t QueryValue(RegistryKey handle, const std::string& name, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& size) override;
    std::int32_t Close(RegistryKey handle) override;

private:
    const RegeditKeys& Keys();

    std::filesystem::path file_;
    std::optional<RegeditKeys> keys_;
    std::map<RegistryKey, const RegeditValues*> open_;
    RegistryKey nextHandle_ = 1;
};

} // namespace velnor
