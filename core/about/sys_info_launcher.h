#pragma once

#include "core/about/file_exists.h"
#include "core/about/program_starter.h"
#include "core/about/registry.h"

#include <functional>
#include <memory>
#include <string>

namespace velnor {

// Everything the System Information button reaches outside the program;
// tests script each one.
struct SysInfoServices {
    std::shared_ptr<Registry> registry;
    // Whether an ordinary file exists; may throw.
    std::function<bool(const std::u16string& path)> fileExists;
    // Starts the program without waiting; throws when it cannot.
    std::function<void(const std::u16string& path)> startProgram;
    // A modal box with the text (UTF-8), an OK button, no icon and the
    // application title.
    std::function<void(const std::string& text)> showMessage;
};

// The services left empty filled with the system's own: its registry, its test
// for a file and its way to start a program. From the OS layer, so only a
// program with one links them.
inline SysInfoServices WithSystemServices(SysInfoServices services) {
    if (!services.registry)
        services.registry = MakeSystemRegistry();
    if (!services.fileExists)
        services.fileExists = [](const std::u16string& path) {
            return OrdinaryFileExists(path);
        };
    if (!services.startProgram)
        services.startProgram = [](const std::u16string& path) {
            StartProgram(path);
        };
    return services;
}

// Finds the System Information tool through the registry and starts it, or
// shows "此时系统信息不可用". Never throws a std::exception.
void StartSysInfo(const SysInfoServices& services);

} // namespace velnor
