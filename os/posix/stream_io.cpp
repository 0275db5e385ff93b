#include "core/io/stream_io.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace velnor::io {
namespace {

[[noreturn]] void ThrowErrno(const std::string& what) {
    throw std::system_error(errno, std::system_category(), what);
}

// Closes the descriptor it opened on every path out.
class FdGuard {
public:
    explicit FdGuard(int fd) : fd_(fd) {}
    ~FdGuard() { ::close(fd_); }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;

private:
    int fd_;
};

constexpr std::size_t kFirstChunk = 64 * 1024;

} // namespace

std::string ReadAll(int fd, const std::string& name) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        ThrowErrno(name);
    }
    if (S_ISDIR(info.st_mode)) {
        errno = EISDIR;
        ThrowErrno(name);
    }
    // One byte more than a regular file's size, so its end is seen by the
    // first read that returns 0 and the buffer need not grow.
    std::string bytes(
        S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) + 1 : kFirstChunk, '\0');
    std::size_t size = 0;
    for (;;) {
        if (size == bytes.size()) {
            bytes.resize(bytes.size() * 2);
        }
        const ssize_t got = ::read(fd, bytes.data() + size, bytes.size() - size);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowErrno(name);
        }
        if (got == 0) {
            bytes.resize(size);
            return bytes;
        }
        size += static_cast<std::size_t>(got);
    }
}

std::string ReadFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        ThrowErrno(path);
    }
    FdGuard guard(fd);
    return ReadAll(fd, path);
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

} // namespace velnor::io
