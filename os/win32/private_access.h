#pragma once

#include "os/win32/windows_api.h"

#include <filesystem>
#include <memory>
#include <string>

namespace velnor {

// A security descriptor that lets the running user alone into a new file, for
// it to get its own attributes afterwards (LocalFree'd).
std::shared_ptr<void> OwnerOnly();
// The one for a new folder. None on Windows, so that it takes what its folder
// hands down: the files made in it are their owner's alone until they get
// their attributes anyway, and a list set on the folder afterwards would cost
// the system a pass over everything it holds.
std::shared_ptr<void> NewFolderSecurity();
// Gives the file or folder open as handle OwnerOnly's list. Errors name
// target.
void MakeOwnerOnly(HANDLE handle, const std::filesystem::path& target);

// The security descriptor that text in the system's own notation describes
// (LocalFree'd); none when it describes none.
std::shared_ptr<void> DescriptorOf(const std::wstring& text);
// Sets what the descriptor says of an open file or folder's access list (and,
// under Wine, of whose bits its entries are). Errors name target.
void SetDescriptor(HANDLE handle, const std::shared_ptr<void>& descriptor,
                   const std::filesystem::path& target);

} // namespace velnor
