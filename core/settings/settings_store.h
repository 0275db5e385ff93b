#pragma once

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

} // namespace velnor
