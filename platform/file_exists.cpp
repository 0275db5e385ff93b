#include "platform/file_exists.h"

#include "platform/ansi_codec.h"
#include "platform/path_text.h"

#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <sys/stat.h>
#endif

namespace velnor {

#ifdef _WIN32

bool OrdinaryFileExists(std::u16string_view path) {
    CheckPathText(path);
    const std::string ansi = EncodeAnsi(path);
    const DWORD attributes = GetFileAttributesA(ansi.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return false;
        }
        throw std::system_error(static_cast<int>(error), std::system_category(),
                                "cannot test " + ansi);
    }
    return (attributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

#else

bool OrdinaryFileExists(std::u16string_view path) {
    const std::string posix = PosixPath(path);
    struct stat status {};
    if (stat(posix.c_str(), &status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return false;
        }
        throw std::system_error(errno, std::generic_category(), "cannot test " + posix);
    }
    const std::string::size_type slash = posix.rfind('/');
    const bool hidden = posix[slash == std::string::npos ? 0 : slash + 1] == '.';
    return S_ISREG(status.st_mode) && !hidden;
}

#endif

} // namespace velnor
