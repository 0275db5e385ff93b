#pragma once

#include <string_view>

namespace velnor {

// Whether an ordinary file exists at path. Folders do not count, nor do
// hidden files: on Windows those with the hidden or system attribute,
// elsewhere those whose name starts with ".". A symbolic link counts as what
// it leads to. Throws std::invalid_argument for a malformed path (see
// CheckPathText) and std::system_error when the system cannot tell, for
// example a folder on the way that may not be searched.
bool OrdinaryFileExists(std::u16string_view path);

} // namespace velnor
