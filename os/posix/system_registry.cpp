#include "core/about/regedit_registry.h"
#include "core/about/registry.h"

namespace velnor {

// Where the machine's registry is kept on a system without one.
constexpr const char* RegeditRegistryFile = "/etc/velnor/registry.reg";

std::unique_ptr<Registry> MakeSystemRegistry() {
    return std::make_unique<RegeditRegistry>(RegeditRegistryFile);
}

} // namespace velnor
