#pragma once

namespace velnor::identity {

inline constexpr const char* ApplicationTitle = "Velnor";
inline constexpr const char* InternalName = "Trimora";
inline constexpr int VersionMajor = 1;
inline constexpr int VersionMinor = 0;
inline constexpr int VersionRevision = 0;

} // namespace velnor::identity
