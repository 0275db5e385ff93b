#pragma once

#include <memory>
#include <string>

namespace velnor {

// The per-user settings store, addressed by application, section and key.
// Values are bytes (a folder's path as the system names it), kept exactly.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The default when the entry is missing.
    virtual std::string Read(const std::string& application, const std::string& section,
                             const std::string& key, const std::string& fallback) const = 0;
    // Creates or replaces the entry.
    virtual void Write(const std::string& application, const std::string& section,
                       const std::string& key, const std::string& value) = 0;
};

// The system's own per-user store, from the OS layer where the system has one
// for programs of this kind: on Windows the registry, "Software\VB and VBA
// Program Settings\<application>\<section>" under HKEY_CURRENT_USER, one text
// value per key (UTF-8 here, UTF-16 there). The Qt window keeps its settings
// through Qt instead.
std::unique_ptr<SettingsStore> MakeSettingsStore();

} // namespace velnor
