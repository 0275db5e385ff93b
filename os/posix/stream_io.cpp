#include "core/io/stream_io.h"

#include "os/posix/interrupted.h"

#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace velnor::io {
namespace {

[[noreturn]] void ThrowErrno(const std::string& what) {
    throw std::system_error(errno, std::system_category(), what);
}

} // namespace

// Safe by path: the one file the filter was given, opened once and only read,
// as any reader would open it; no folder is reached through it.
InputFile::InputFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    if (fd_ < 0) {
        ThrowErrno(path);
    }
}

InputFile::~InputFile() {
    ::close(fd_);
}

std::size_t ReadSome(int fd, char* buffer, std::size_t size, const std::string& name) {
    ssize_t got = 0;
    if (const int error = RetryInterrupted([&] { return got = ::read(fd, buffer, size); })) {
        throw std::system_error(error, std::system_category(), name);
    }
    return static_cast<std::size_t>(got);
}

void WriteAll(int fd, std::string_view bytes, const std::string& name) {
    while (!bytes.empty()) {
        ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowErrno(name);
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
}

bool ReadLine(int fd, std::string& line) {
    line.clear();
    // Byte by byte, so nothing typed after the answer is taken from the stream.
    for (;;) {
        char c = 0;
        ssize_t got = ::read(fd, &c, 1);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowErrno("read");
        }
        if (got == 0) {
            return !line.empty();
        }
        if (c == '\n') {
            return true;
        }
        line.push_back(c);
    }
}

bool IsTerminal(int fd) {
    return ::isatty(fd) == 1;
}

bool TakesEscapes(int fd) {
    return IsTerminal(fd);
}

bool InConsoleOfItsOwn() {
    return false;
}

void WaitForKey(int fd) {
    // A terminal hands over what was typed at Enter.
    std::string line;
    ReadLine(fd, line);
}

} // namespace velnor::io
