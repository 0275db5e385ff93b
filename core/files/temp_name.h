#pragma once

#include <filesystem>

namespace velnor {

// The one pattern of the program's temporary files and folders, the same on
// every system: ".<name>.velnor-XXXXXX" beside the target, X a random ASCII
// letter or digit, the name cut so the whole fits in 255 characters.
std::filesystem::path TempNameBeside(const std::filesystem::path& target);

// Whether a file name (no folder) is of that pattern.
bool IsTempName(const std::filesystem::path& name);
// Whether a file name (no folder) is of that pattern for that very target.
bool IsTempNameOf(const std::filesystem::path& name, const std::filesystem::path& target);

} // namespace velnor
