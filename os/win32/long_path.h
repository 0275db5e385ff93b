#pragma once

#include <filesystem>
#include <string>

namespace velnor {

// The path as the wide calls take it at any length: absolute, "\" between
// names, "." and ".." taken away, and "\\?\" (or "\\?\UNC\" for a share) in
// front, so that neither the 260-character limit nor the system's rewriting
// of names (trailing dots and blanks) applies. Throws FileSystemError for an
// empty path, as for a file that is not there.
std::wstring LongPath(const std::filesystem::path& path);

} // namespace velnor
