#pragma once

#include "os/win32/windows_api.h"

#include <filesystem>
#include <memory>

namespace velnor {

// Wine keeps no access lists of files but Unix permission bits: it shows the
// bits as a list (an entry for the owner, one for everyone; the group's bits
// are not shown) and turns a list set on a file back into bits, giving an
// entry for the running user to owner and group alike and adding the folder's
// inheritable entries whatever the list's protection, so that a list copied
// as a list widens access (0640 became 0775). Wine takes the owner a list is
// set with for whose bits its entry stands: these lists name one the running
// user is not, so that their owner's entry stands for the owner alone.

// Gives the file or folder open as handle (with WRITE_DAC and WRITE_OWNER)
// the permission bits that security, a list Wine showed, shows, and never
// more: the owner's read and write as its entry has them, and for group and
// others what everyone has; execute (search) only for a folder, where reading
// is allowed. A group that had more than others loses it: its bits are not
// shown. Errors name target.
void SetPermissionBits(HANDLE handle, const std::shared_ptr<void>& security, bool folder,
                       const std::filesystem::path& target);

// The list that lets the owner alone in (LocalFree'd).
std::shared_ptr<void> WineOwnerOnly();

} // namespace velnor
