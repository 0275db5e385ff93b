#pragma once

#include "core/settings/settings_store.h"

#include <map>
#include <stdexcept>
#include <string>
#include <tuple>

namespace velnor::test {

// A settings store in memory, counting reads and writes; a write can be made to fail.
class MemorySettings : public SettingsStore {
public:
    using Entry = std::tuple<std::string, std::string, std::string>;

    std::string Read(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& fallback) const override {
        ++reads;
        const auto found = entries.find({application, section, key});
        return found == entries.end() ? fallback : found->second;
    }
    void Write(const std::string& application, const std::string& section, const std::string& key,
               const std::string& value) override {
        ++writes;
        if (!failWrites.empty())
            throw std::runtime_error(failWrites);
        entries[{application, section, key}] = value;
    }

    // The remembered folder's entry.
    std::string& Remembered() { return entries[{"Trimora", "Root", "Path"}]; }

    std::map<Entry, std::string> entries;
    mutable int reads = 0;
    int writes = 0;
    std::string failWrites; // the description a failing write throws with
};

} // namespace velnor::test
