#include "core/text/path_text.h"

#include "core/text/utf8.h"

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
        if (IsHighSurrogate(c) && i + 1 < path.size() && IsLowSurrogate(path[i + 1])) {
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            throw std::invalid_argument("the path holds bytes that are no text");
        }
    }
}

std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(
        std::u8string_view(reinterpret_cast<const char8_t*>(text.data()), text.size()));
}

std::string PathToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace velnor
