#pragma once

#include <filesystem>
#include <string_view>

namespace velnor {

// The one pattern of the program's temporary files and folders, the same on
// every system: ".<name>.velnor-XXXXXX" beside the target, X a random letter
// or digit, the name cut so the whole fits in 255 bytes.
std::filesystem::path TempNameBeside(const std::filesystem::path& target);

// Whether a name (no folder) is of that pattern.
bool IsTempName(std::string_view name);
// Whether a name (no folder) is of that pattern for that very target.
bool IsTempNameOf(std::string_view name, const std::filesystem::path& target);

} // namespace velnor
