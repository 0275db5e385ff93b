#pragma once

#include "platform/registry.h"

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace velnor {

// Everything the System Information button reaches outside the program;
// tests script each one.
struct SysInfoServices {
    std::shared_ptr<Registry> registry;
    // Whether an ordinary file exists; may throw.
    std::function<bool(const QString& path)> fileExists;
    // Starts the program without waiting; throws when it cannot.
    std::function<void(const QString& path)> startProgram;
    std::function<void(QWidget* owner, const QString& text)> showMessage;
};

// The machine's registry, file test and program start, and the real message box.
SysInfoServices SystemSysInfoServices();

// Finds the System Information tool through the registry and starts it, or
// shows "此时系统信息不可用" over owner. Never throws a std::exception.
void StartSysInfo(const SysInfoServices& services, QWidget* owner);

} // namespace velnor
