#include "os/posix/os_error.h"

#include "core/text/display_path.h"

#include <system_error>

namespace velnor {

FileSystemError OsError(int error, const std::filesystem::path& path) {
    return FileSystemError(DisplayPath(path) + ": " + std::system_category().message(error));
}

} // namespace velnor
