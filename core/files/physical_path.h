#pragma once

#include <filesystem>

namespace velnor {

// The folder a user named, as the system resolves it: absolute, every link
// and ".." taken the way the system takes them ("lnk/.." is the folder that
// holds lnk's target), no trailing separator but the root's. A part that does
// not exist yet is kept as written, without "." and "..".
std::filesystem::path PhysicalPath(const std::filesystem::path& path);

} // namespace velnor
