#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velnor {

// Throws std::invalid_argument for a text that can name no file: an empty
// one, one holding a NUL (the system would stop reading there and act on
// another file) or a lone surrogate (undecodable bytes from the registry).
void CheckPathText(std::u16string_view path);

// A path from UTF-8 text, as the system names files: the bytes themselves where
// names are bytes (so any name can be given), their UTF-16 form where names are
// UTF-16 (Windows: std::filesystem::filesystem_error for text that is not UTF-8).
std::filesystem::path PathFromUtf8(std::string_view text);
// The other way: the bytes of the name where names are bytes, else UTF-8.
std::string PathToUtf8(const std::filesystem::path& path);

} // namespace velnor
