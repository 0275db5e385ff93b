#pragma once

#include "core/about/regedit_registry.h"
#include "core/about/sys_info_launcher.h"
#include "core/text/utf8.h"
#include "tests/support/temp_tree.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velnor::test {

// The registry of a REGEDIT4 file that can claim a value size of its choosing.
class RecordingRegistry : public RegeditRegistry {
public:
    using RegeditRegistry::RegeditRegistry;
    std::int32_t QueryValue(RegistryKey handle, const std::string& name, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& size) override {
        const std::int32_t status = RegeditRegistry::QueryValue(handle, name, type, data, size);
        size = claimedSize.value_or(size);
        return status;
    }

    std::optional<std::uint32_t> claimedSize; // a size to report instead of the true one
};

// The System Information button's services, scripted: a registry file in a
// temporary folder, a file test that finds the tool in "/o" and "C:\MSINFO\"
// and cannot test a path on "//offline", a program start that fails for an
// empty path or one in a folder "gone", and a message box that only takes notes.
class ScriptedSysInfo {
public:
    // Lines after "REGEDIT4"; an empty text leaves the file out altogether.
    explicit ScriptedSysInfo(const std::string& registryLines) {
        if (!registryLines.empty())
            tree_.WriteFile("registry.reg", "REGEDIT4\n" + registryLines + "\n");
        registry = std::make_shared<RecordingRegistry>(tree_.Path("registry.reg"));
    }

    SysInfoServices Services() {
        return {
            registry,
            [this](const std::u16string& path) {
                log.push_back("test " + Utf16ToUtf8(path));
                if (path.starts_with(u"//offline"))
                    throw std::runtime_error("the drive is not ready");
                return path == u"/o\\MSINFO32.EXE" || path == u"C:\\MSINFO\\\\MSINFO32.EXE";
            },
            [this](const std::u16string& path) {
                log.push_back("start " + Utf16ToUtf8(path));
                if (path.empty() || path.find(u"/gone/") != std::u16string::npos)
                    throw std::runtime_error("cannot start");
            },
            [this](const std::string& text) { log.push_back(text); },
        };
    }

    std::shared_ptr<RecordingRegistry> registry;
    std::vector<std::string> log; // file tests, starts (failed ones too) and messages, in order

private:
    TempTree tree_;
};

inline const std::string MsinfoKey =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n";
inline const std::string LocationKey =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\n";
inline const std::string Unavailable = "此时系统信息不可用";

} // namespace velnor::test
