#include "core/about/file_exists.h"

#include "os/posix/posix_path.h"

#include <sys/stat.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace velnor {

bool OrdinaryFileExists(std::u16string_view path) {
    const std::string posix = PosixPath(path);
    struct stat status {};
    // Safe by path: the program named in the registry is looked at once and
    // never opened, and no folder of the user's is reached through it.
    if (stat(posix.c_str(), &status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return false;
        throw std::system_error(errno, std::generic_category(), "cannot test " + posix);
    }
    const std::string::size_type slash = posix.rfind('/');
    const bool hidden = posix[slash == std::string::npos ? 0 : slash + 1] == '.';
    return S_ISREG(status.st_mode) && !hidden;
}

} // namespace velnor
