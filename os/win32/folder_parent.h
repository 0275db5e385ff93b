#pragma once

#include "os/win32/unique_handle.h"
#include "os/win32/windows_api.h"

namespace velnor {

// Opens the folder the open folder lies in now. Windows opens no ".." by
// handle, so it goes by the system's own name of the folder, and then looks
// that the folder's name in what it opened leads to the folder. False for the
// root of a volume and for a parent that may not be opened or moved meanwhile.
bool OpenParentOf(HANDLE folder, ACCESS_MASK access, UniqueHandle& parent);

} // namespace velnor
