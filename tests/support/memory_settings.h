#pragma once

#include "core/settings/settings_store.h"

#include <map>
#include <stdexcept>
#include <string>
#include <tuple>

namespace velnor::test {

// A settings store in memory; a write can be made to fail.
class MemorySettings : public SettingsStore {
public:
    using Entry = std::tuple<std::string, std::string, std::string>;

    std::string Read(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& fallback) const override {
        const auto found = entries.find({application, section, key});
        return found == entries.end() ? fallback : found->second;
    }
    void Write(const std::string& application, const std::string& section, const std::string& key,
               const std::string& value) override {
        if (!failWrites.empty())
            throw std::runtime_error(failWrites);
        entries[{application, section, key}] = value;
    }

    // The remembered folder's entry.
    std::string& Remembered() { return entries[{"Trimora", "Root", "Path"}]; }

    std::map<Entry, std::string> entries;
    std::string failWrites; // the description a failing write throws with
};

} // namespace velnor::test
