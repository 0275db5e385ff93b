#pragma once

#include <string_view>

namespace velnor {

// Starts the program at path as a separate process with no arguments, in a
// normal window that takes the focus, and returns at once without waiting or
// watching. Throws std::invalid_argument for a malformed path (see
// CheckPathText) and std::runtime_error, in the system's words, when the
// program cannot be started.
void StartProgram(std::u16string_view path);

} // namespace velnor
