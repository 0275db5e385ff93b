#pragma once

#include "cli/cli_main.h"
#include "cli/cli_streams.h"
#include "core/files/file_system.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace velnor::cli {

using Args = std::vector<std::string>;

inline Args Words(const std::string& line) {
    std::istringstream words(line);
    return Args(std::istream_iterator<std::string>(words), {});
}

// In-memory files standing in for the three standard streams.
class CapturedStreams {
public:
    explicit CapturedStreams(const std::string& input = {}) {
        EXPECT_EQ(::pwrite(in_, input.data(), input.size(), 0), std::ssize(input));
    }
    ~CapturedStreams() {
        for (int fd : {in_, out_, err_}) {
            ::close(fd);
        }
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
        std::string bytes(static_cast<std::size_t>(::lseek(fd, 0, SEEK_END)), '\0');
        EXPECT_EQ(::pread(fd, bytes.data(), bytes.size(), 0), std::ssize(bytes));
        return bytes;
    }
    int in_ = ::memfd_create("in", MFD_CLOEXEC);
    int out_ = ::memfd_create("out", MFD_CLOEXEC);
    int err_ = ::memfd_create("err", MFD_CLOEXEC);
};

// The command as main runs it, on captured streams and the real file system.
inline int Cli(
    const Args& args, const CliStreams& streams,
    const FileSystemFactory& fileSystem = [] { return MakeFileSystem(); }) {
    return RunCli(args, streams, fileSystem, [] { return std::chrono::steady_clock::now(); });
}

using StringMatcher = ::testing::Matcher<const std::string&>;
using ::testing::AllOf;
using ::testing::EndsWith;
using ::testing::Eq;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

// Runs one command line on the given standard input and checks what it gives.
inline void ExpectInvocation(const Args& args, const std::string& input, int status,
                             const StringMatcher& out, const StringMatcher& err) {
    CapturedStreams io(input);
    EXPECT_EQ(Cli(args, io.Streams()), status) << ::testing::PrintToString(args);
    EXPECT_THAT(io.Out(), out) << ::testing::PrintToString(args);
    EXPECT_THAT(io.Err(), err) << ::testing::PrintToString(args);
}

} // namespace velnor::cli
