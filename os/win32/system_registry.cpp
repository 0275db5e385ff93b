#include "core/about/registry.h"
#include "os/win32/win32_registry.h"

namespace velnor {

std::unique_ptr<Registry> MakeSystemRegistry() {
    return std::make_unique<Win32Registry>();
}

} // namespace velnor
