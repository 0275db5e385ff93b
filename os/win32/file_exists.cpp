#include "core/about/file_exists.h"

#include "core/text/ansi_codec.h"
#include "core/text/path_text.h"

#include <windows.h>

#include <string>
#include <system_error>

namespace velnor {

bool OrdinaryFileExists(std::u16string_view path) {
    CheckPathText(path);
    const std::string ansi = EncodeAnsi(path);
    const DWORD attributes = GetFileAttributesA(ansi.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return false;
        throw std::system_error(static_cast<int>(error), std::system_category(),
                                "cannot test " + ansi);
    }
    return (attributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

} // namespace velnor
