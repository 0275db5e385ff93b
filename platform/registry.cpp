#include "platform/registry.h"

#ifdef _WIN32
#include "platform/win32_registry.h"
#else
#include "platform/regedit_registry.h"
#endif

namespace velnor {

std::unique_ptr<Registry> MakeSystemRegistry() {
#ifdef _WIN32
    return std::make_unique<Win32Registry>();
#else
    return std::make_unique<RegeditRegistry>(RegeditRegistryFile);
#endif
}

} // namespace velnor
