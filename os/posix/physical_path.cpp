#include "core/files/physical_path.h"

#include <system_error>

namespace velnor {

std::filesystem::path PhysicalPath(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    std::filesystem::path resolved = std::filesystem::weakly_canonical(absolute, error);
    if (error)
        resolved = absolute.lexically_normal(); // a folder above that may not be searched
    if (!resolved.has_filename() && resolved != resolved.root_path())
        resolved = resolved.parent_path();
    return resolved;
}

std::filesystem::path PhysicalRoot(const std::filesystem::path& physical) {
    return physical.root_path();
}

} // namespace velnor
