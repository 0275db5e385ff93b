#pragma once

#include <filesystem>

namespace velnor {

// The folder a user named, as the system resolves it: absolute, every link
// and ".." taken the way the system takes them (on Linux "lnk/.." is the
// folder that holds lnk's target; Windows takes ".." by name, so there it is
// the folder that holds lnk), no trailing separator but the root's. A part
// that does not exist yet is kept as written, without "." and "..". On Windows
// the literal form "\\?\D:\..." comes back as "D:\...", its names as given, and
// a share's path in the literal form "\\?\UNC\server\share\...". From the OS
// layer.
std::filesystem::path PhysicalPath(const std::filesystem::path& path);

// The root of a path PhysicalPath gave: "/", "D:\", "\\?\UNC\server\share\" (which
// this toolchain's std::filesystem takes for a folder "?" on the current drive).
std::filesystem::path PhysicalRoot(const std::filesystem::path& physical);

} // namespace velnor
