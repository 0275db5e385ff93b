#include "core/about/regedit_registry.h"
#include "core/about/registry.h"

namespace velnor {

std::unique_ptr<Registry> MakeSystemRegistry() {
    return std::make_unique<RegeditRegistry>(RegeditRegistryFile);
}

} // namespace velnor
