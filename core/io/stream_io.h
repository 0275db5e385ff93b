#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velnor::io {

// Standard streams and files as the C library numbers them (0, 1 and 2 are
// standard input, output and error); from the OS layer. Failures throw
// std::system_error naming `name`.

// A file opened for reading, closed when this goes.
class InputFile {
public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    int Fd() const { return fd_; }

private:
    int fd_;
};

// Reads what is there, at most `size` bytes, retrying interruptions; 0 at end
// of input.
std::size_t ReadSome(int fd, char* buffer, std::size_t size, const std::string& name);

// Writes every byte, retrying short writes and interruptions.
void WriteAll(int fd, std::string_view bytes, const std::string& name);

// Reads one line (without its end) for an answer typed at a terminal; false at
// end of input.
bool ReadLine(int fd, std::string& line);

// Whether a person sits at the stream.
bool IsTerminal(int fd);

// Asks the terminal at fd to act on the escape sequences that redraw a line
// (a Windows console does from Windows 10 on, once asked); whether it will.
bool TakesEscapes(int fd);

// Whether the program runs in a console window opened for it alone, which
// closes the moment it ends: on Windows, started from Explorer rather than
// from a prompt. Never elsewhere.
bool InConsoleOfItsOwn();

// Waits until a key is pressed at the terminal of fd (or its input ends).
void WaitForKey(int fd);

} // namespace velnor::io
