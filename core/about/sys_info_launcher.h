#pragma once

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

// Finds the System Information tool through the registry and starts it, or
// shows "此时系统信息不可用". Never throws a std::exception.
void StartSysInfo(const SysInfoServices& services);

} // namespace velnor
