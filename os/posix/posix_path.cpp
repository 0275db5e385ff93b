#include "os/posix/posix_path.h"

#include "core/text/path_text.h"
#include "core/text/utf8.h"

namespace velnor {

std::string PosixPath(std::u16string_view path) {
    CheckPathText(path);
    std::u16string text(path);
    for (char16_t& c : text)
        if (c == u'\\')
            c = u'/';
    return Utf16ToUtf8(text);
}

} // namespace velnor
