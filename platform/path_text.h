#pragma once

#include <string>
#include <string_view>

namespace velnor {

// Throws std::invalid_argument for a text that can name no file: an empty
// one, one holding a NUL (the system would stop reading there and act on
// another file) or a lone surrogate (undecodable bytes from the registry).
void CheckPathText(std::u16string_view path);

// The path as the system takes it where "/" separates names: the Windows
// separator "\" that registry values use becomes "/", the text UTF-8.
// Checked as above first.
std::string PosixPath(std::u16string_view path);

} // namespace velnor
