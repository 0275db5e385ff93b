#include "about/sys_info_launcher.h"

#include "about/info_message.h"
#include "about/key_value_reader.h"
#include "platform/file_exists.h"
#include "platform/program_starter.h"

#include <exception>
#include <optional>

namespace velnor {
namespace {

const QString SysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString SysInfoValue = QStringLiteral("PATH");
const QString SysInfoLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString SysInfoLocationValue = QStringLiteral("MSINFO");
const QString SysInfoFileName = QStringLiteral("\\MSINFO32.EXE");
const QString UnavailableMessage = QStringLiteral("此时系统信息不可用");

// The full path of the tool to start, if the registry names one. A "PATH"
// value is taken as it is: the start itself shows whether it still exists.
std::optional<QString> FindSysInfo(const SysInfoServices& services) {
    QString path;
    if (GetKeyValue(*services.registry, HKEY_LOCAL_MACHINE, SysInfoKey, SysInfoValue, path)) {
        return path;
    }
    if (!GetKeyValue(*services.registry, HKEY_LOCAL_MACHINE, SysInfoLocationKey,
                     SysInfoLocationValue, path)) {
        return std::nullopt;
    }
    const QString candidate = path + SysInfoFileName;
    if (!services.fileExists(candidate)) {
        return std::nullopt;
    }
    return candidate;
}

} // namespace

SysInfoServices SystemSysInfoServices() {
    return {
        MakeSystemRegistry(),
        [](const QString& path) { return OrdinaryFileExists(path.toStdU16String()); },
        [](const QString& path) { StartProgram(path.toStdU16String()); },
        ShowInfoMessage,
    };
}

void StartSysInfo(const SysInfoServices& services, QWidget* owner) {
    try {
        if (const std::optional<QString> tool = FindSysInfo(services)) {
            services.startProgram(*tool);
            return;
        }
    } catch (const std::exception&) {
        // Whatever failed on the way, the user learns the same: no tool now.
    }
    services.showMessage(owner, UnavailableMessage);
}

} // namespace velnor
