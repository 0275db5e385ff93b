#pragma once

#include <filesystem>
#include <type_traits>

namespace velnor::test {

// What names may be on this system. Where names are bytes (Linux) any byte
// but "/" and NUL may be in one, letter case tells names apart and any user
// may make a symbolic link. Windows keeps names in UTF-16, forbids "|" and a
// few more in them, ignores case, and makes links only with a privilege (its
// own tests make junctions instead).
inline constexpr bool NamesAreBytes = std::is_same_v<std::filesystem::path::value_type, char>;

} // namespace velnor::test
