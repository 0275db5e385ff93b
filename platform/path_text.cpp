#include "platform/path_text.h"

#include <QString>

#include <stdexcept>

namespace velnor {

void CheckPathText(std::u16string_view path) {
    if (path.empty()) {
        throw std::invalid_argument("the path is empty");
    }
    if (path.find(u'\0') != std::u16string_view::npos) {
        throw std::invalid_argument("the path holds a NUL character");
    }
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char16_t c = path[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const bool low = c >= 0xDC00 && c <= 0xDFFF;
        if (high && i + 1 < path.size() && path[i + 1] >= 0xDC00 && path[i + 1] <= 0xDFFF) {
            ++i;
        } else if (high || low) {
            throw std::invalid_argument("the path holds bytes that are no text");
        }
    }
}

std::string PosixPath(std::u16string_view path) {
    CheckPathText(path);
    std::u16string text(path);
    for (char16_t& c : text) {
        if (c == u'\\') {
            c = u'/';
        }
    }
    return QString::fromStdU16String(text).toStdString();
}

} // namespace velnor
