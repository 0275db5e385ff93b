#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velnor {

// A path as UTF-8 text for the user to read. Where the system names files in
// UTF-16 (Windows) that is their text. Where it names them in bytes, each name
// that is valid UTF-8 stays as it is; any other is read in the ANSI code page
// (GBK), and a byte that is no character there shows as \xNN.
std::string DisplayPath(const std::filesystem::path& path);

} // namespace velnor
