#include "core/about/file_exists.h"

#include "core/text/path_text.h"
#include "os/win32/wide_text.h"
#include "os/win32/win32_error.h"

#include <windows.h>

#include <string>
#include <system_error>

namespace velnor {

bool OrdinaryFileExists(std::u16string_view path) {
    CheckPathText(path);
    const std::wstring wide = Wide(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return false;
        throw std::system_error(static_cast<int>(error), Win32Category(),
                                "cannot test " + Utf8FromWide(wide));
    }
    return (attributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

} // namespace velnor
