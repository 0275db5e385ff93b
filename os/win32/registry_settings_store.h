#pragma once

#include "core/settings/settings_store.h"

#include <string>

namespace velnor {

// The settings store where classic Windows programs keep theirs: under the
// base key of HKEY_CURRENT_USER (by default "Software\VB and VBA Program
// Settings"), application\section is a key and each key a text value in it.
// Throws std::system_error in the system's words when the registry refuses.
class RegistrySettingsStore : public SettingsStore {
public:
    explicit RegistrySettingsStore(std::wstring base = L"Software\\VB and VBA Program Settings");

    std::string Read(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& fallback) const override;
    void Write(const std::string& application, const std::string& section, const std::string& key,
               const std::string& value) override;

private:
    std::wstring KeyPath(const std::string& application, const std::string& section) const;

    std::wstring base_;
};

} // namespace velnor
