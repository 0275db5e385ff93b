#pragma once

#include "os/win32/windows_api.h"

#include <string>
#include <string_view>

namespace velnor {

// Whether the handle leads to a console (its screen or its input).
bool IsConsole(HANDLE handle);

// Writes UTF-16 text to a console screen, in pieces it takes in one call, a
// surrogate pair never cut. Failures throw std::system_error naming `name`.
void WriteConsoleText(HANDLE console, std::wstring_view text, const std::string& name);

} // namespace velnor
