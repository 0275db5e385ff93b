#pragma once

#include "core/settings/settings_store.h"

#include <string>

namespace velnor {

// The settings store on Qt's per-user settings: application A's entries live in
// the native user-scope store of organisation A, application A (on Linux
// ~/.config/A/A.conf), a section is a group and a key a key in it.
class QSettingsStore : public SettingsStore {
public:
    std::string Read(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& fallback) const override;
    // Throws std::runtime_error when the entry could not be stored.
    void Write(const std::string& application, const std::string& section, const std::string& key,
               const std::string& value) override;
};

} // namespace velnor
