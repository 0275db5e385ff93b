#pragma once

#include "os/win32/windows_api.h"

#include <vector>

namespace velnor {

// Whether the running user may make owner the owner of a file: one of its
// own identities that may own files, or any once the privilege to restore
// files, which only administrators hold, is taken up.
bool CanGiveTo(const std::vector<BYTE>& owner);

} // namespace velnor
