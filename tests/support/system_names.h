#pragma once

#include <filesystem>
#include <type_traits>

namespace velnor::test {

// Where names are bytes (Linux), any byte but "/" and NUL may be in one, case
// tells names apart and any user may make links. Windows keeps UTF-16 names,
// forbids "|" among others, ignores case and makes links only with a privilege.
inline constexpr bool NamesAreBytes = std::is_same_v<std::filesystem::path::value_type, char>;

} // namespace velnor::test
