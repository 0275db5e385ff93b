#include "core/files/physical_path.h"

#include <system_error>

namespace velnor {

std::filesystem::path PhysicalPath(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    if (error)
        resolved = std::filesystem::absolute(path).lexically_normal();
    if (!resolved.has_filename() && resolved != resolved.root_path())
        resolved = resolved.parent_path();
    return resolved;
}

} // namespace velnor
