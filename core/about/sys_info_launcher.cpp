#include "core/about/sys_info_launcher.h"

#include "core/about/key_value_reader.h"

#include <exception>
#include <optional>

namespace velnor {
namespace {

const std::u16string SysInfoKey = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::u16string SysInfoValue = u"PATH";
const std::u16string SysInfoLocationKey = u"SOFTWARE\\Microsoft\\Shared Tools Location";
const std::u16string SysInfoLocationValue = u"MSINFO";
const std::u16string SysInfoFileName = u"\\MSINFO32.EXE";
const std::string UnavailableMessage = "此时系统信息不可用";

// The full path of the tool to start, if the registry names one. A "PATH"
// value is taken as it is: the start itself shows whether it still exists.
std::optional<std::u16string> FindSysInfo(const SysInfoServices& services) {
    std::u16string path;
    if (GetKeyValue(*services.registry, registry_root::LocalMachine, SysInfoKey, SysInfoValue,
                    path))
        return path;
    if (!GetKeyValue(*services.registry, registry_root::LocalMachine, SysInfoLocationKey,
                     SysInfoLocationValue, path))
        return std::nullopt;
    const std::u16string candidate = path + SysInfoFileName;
    if (!services.fileExists(candidate))
        return std::nullopt;
    return candidate;
}

} // namespace

void StartSysInfo(const SysInfoServices& services) {
    try {
        if (const std::optional<std::u16string> tool = FindSysInfo(services)) {
            services.startProgram(*tool);
            return;
        }
    } catch (const std::exception&) {
        // Whatever failed on the way, the user learns the same: no tool now.
    }
    services.showMessage(UnavailableMessage);
}

} // namespace velnor
