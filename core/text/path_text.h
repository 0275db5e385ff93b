#pragma once

#include <string>
#include <string_view>

namespace velnor {

// Throws std::invalid_argument for a text that can name no file: an empty
// one, one holding a NUL (the system would stop reading there and act on
// another file) or a lone surrogate (undecodable bytes from the registry).
void CheckPathText(std::u16string_view path);

} // namespace velnor
