#pragma once

#include "about/sys_info_launcher.h"
#include "platform/regedit_registry.h"
#include "tests/support/temp_tree.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace velnor::test {

// A registry that notes every key opened, over a REGEDIT4 file.
class RecordingRegistry : public Registry {
public:
    explicit RecordingRegistry(std::filesystem::path file) : inner_(std::move(file)) {}

    std::int32_t Open(RegistryRoot root, const std::string& path, std::uint32_t options,
                      std::uint32_t accessMask, RegistryKey& handle) override {
        opened.push_back(path);
        return inner_.Open(root, path, options, accessMask, handle);
    }
    std::int32_t QueryValue(RegistryKey handle, const std::string& name, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& size) override {
        return inner_.QueryValue(handle, name, type, data, size);
    }
    std::int32_t Close(RegistryKey handle) override { return inner_.Close(handle); }

    std::vector<std::string> opened;

private:
    RegeditRegistry inner_;
};

// The System Information button's services, scripted: a registry file in a
// temporary folder, a file test that answers from a list, and a program start
// and a message box that only take notes.
class ScriptedSysInfo {
public:
    // Lines after "REGEDIT4"; an empty text leaves the file out altogether.
    explicit ScriptedSysInfo(const std::string& registryLines) {
        if (!registryLines.empty()) {
            tree_.WriteFile("registry.reg", "REGEDIT4\n" + registryLines + "\n");
        }
        registry = std::make_shared<RecordingRegistry>(tree_.Path("registry.reg"));
    }

    SysInfoServices Services() {
        return {
            registry,
            [this](const QString& path) {
                fileTests << path;
                if (fileTestFails) {
                    throw std::runtime_error("file test failed");
                }
                return existingFiles.contains(path);
            },
            [this](const QString& path) {
                starts << path;
                if (path.isEmpty() || failingPrograms.contains(path)) {
                    throw std::runtime_error("cannot start");
                }
            },
            [this](QWidget* owner, const QString& text) {
                messages << text;
                messageOwners.push_back(owner);
            },
        };
    }

    std::shared_ptr<RecordingRegistry> registry;
    QStringList existingFiles;
    QStringList failingPrograms;
    bool fileTestFails = false;

    QStringList fileTests;
    QStringList starts; // attempted, failed ones included
    QStringList messages;
    std::vector<QWidget*> messageOwners;

private:
    TempTree tree_;
};

inline const std::string MsinfoKey =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n";
inline const std::string LocationKey =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\n";

} // namespace velnor::test
