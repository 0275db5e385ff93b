#pragma once

#include <string>
#include <string_view>

namespace velnor::io {

// Standard streams and files as the C library numbers them (0, 1 and 2 are
// standard input, output and error); from the OS layer. Failures throw
// std::system_error naming `name`.

// Reads everything up to end of file.
std::string ReadAll(int fd, const std::string& name);

// Opens and reads a whole file.
std::string ReadFile(const std::string& path);

// Writes every byte, retrying short writes and interruptions.
void WriteAll(int fd, std::string_view bytes, const std::string& name);

// Reads one line (without its end) for an answer typed at a terminal; false at
// end of input.
bool ReadLine(int fd, std::string& line);

// Whether a person sits at the stream.
bool IsTerminal(int fd);

} // namespace velnor::io
