#pragma once

#include <string>
#include <string_view>

namespace velnor {

// A path from the registry as the system takes it where "/" separates names:
// the Windows separator "\" becomes "/", the text UTF-8. Checked by
// CheckPathText first.
std::string PosixPath(std::u16string_view path);

} // namespace velnor
