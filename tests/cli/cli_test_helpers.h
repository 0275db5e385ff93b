#pragma once

#include "cli/cli_main.h"
#include "cli/cli_streams.h"
#include "run/file_system.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace velnor::cli {

// In-memory files standing in for the three standard streams.
class CapturedStreams {
public:
    explicit CapturedStreams(const std::string& input = {}) {
        in_ = ::memfd_create("in", MFD_CLOEXEC);
        out_ = ::memfd_create("out", MFD_CLOEXEC);
        err_ = ::memfd_create("err", MFD_CLOEXEC);
        if (!input.empty()) {
            EXPECT_EQ(::write(in_, input.data(), input.size()), static_cast<ssize_t>(input.size()));
            ::lseek(in_, 0, SEEK_SET);
        }
    }
    ~CapturedStreams() {
        ::close(in_);
        ::close(out_);
        ::close(err_);
    }
    CapturedStreams(const CapturedStreams&) = delete;
    CapturedStreams& operator=(const CapturedStreams&) = delete;

    CliStreams Streams(bool inIsTerminal = false, bool errIsTerminal = false) const {
        return CliStreams{in_, out_, err_, inIsTerminal, errIsTerminal};
    }
    std::string Out() const { return Contents(out_); }
    std::string Err() const { return Contents(err_); }

private:
    static std::string Contents(int fd) {
        struct stat info {};
        ::fstat(fd, &info);
        std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
        if (!bytes.empty()) {
            EXPECT_EQ(::pread(fd, bytes.data(), bytes.size(), 0),
                      static_cast<ssize_t>(bytes.size()));
        }
        return bytes;
    }
    int in_;
    int out_;
    int err_;
};

inline std::chrono::steady_clock::time_point RealNow() {
    return std::chrono::steady_clock::now();
}

// The command as main runs it, on captured streams and the real file system.
inline int Cli(const std::vector<std::string>& args, const CliStreams& streams) {
    return RunCli(
        args, streams, [] { return MakeFileSystem(); }, RealNow);
}

} // namespace velnor::cli
