#pragma once

#include "cli/cli_main.h"
#include "cli/cli_streams.h"
#include "core/files/file_system.h"
#include "tests/support/open_file.h"
#include "tests/support/temp_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace velnor::cli {

using Args = std::vector<std::string>;

inline Args Words(const std::string& line) {
    std::istringstream words(line);
    return Args(std::istream_iterator<std::string>(words), {});
}

// Files in a temporary folder standing in for the three standard streams.
class CapturedStreams {
public:
    explicit CapturedStreams(const std::string& input = {}) {
        EXPECT_EQ(std::fwrite(input.data(), 1, input.size(), in_), input.size());
        std::fflush(in_);
        std::rewind(in_);
    }
    ~CapturedStreams() {
        for (std::FILE* file : {in_, out_, err_})
            std::fclose(file);
    }
    CapturedStreams(const CapturedStreams&) = delete;
    CapturedStreams& operator=(const CapturedStreams&) = delete;

    CliStreams Streams(bool inIsTerminal = false, bool errIsTerminal = false) const {
        return CliStreams{fileno(in_), fileno(out_), fileno(err_), inIsTerminal, errIsTerminal};
    }
    std::string Out() const { return Contents(out_); }
    // How many bytes of its input the command read.
    long long InputRead() const { return velnor::test::DescriptorOffset(in_); }
    std::string Err() const { return Contents(err_); }

private:
    // What the command wrote through the descriptor, read back from the start.
    static std::string Contents(std::FILE* file) {
        std::fseek(file, 0, SEEK_END);
        std::string bytes(static_cast<std::size_t>(std::ftell(file)), '\0');
        std::rewind(file);
        EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), file), bytes.size());
        return bytes;
    }
    std::FILE* Open(const char* name) const {
        return velnor::test::OpenFile(tree_.Path(name), "w+b");
    }

    velnor::test::TempTree tree_;
    std::FILE* in_ = Open("in");
    std::FILE* out_ = Open("out");
    std::FILE* err_ = Open("err");
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

// The line `filter --stats` writes to standard error.
inline std::string StatsLine(std::uint64_t chars, std::uint64_t kept, std::uint64_t steps,
                             std::uint64_t in, std::uint64_t out) {
    return "chars=" + std::to_string(chars) + " kept=" + std::to_string(kept) +
           " steps=" + std::to_string(steps) + " bytes_in=" + std::to_string(in) +
           " bytes_out=" + std::to_string(out) + "\n";
}

// Runs one command line on the given standard input and checks what it gives.
inline void ExpectInvocation(const Args& args, const std::string& input, int status,
                             const StringMatcher& out, const StringMatcher& err) {
    CapturedStreams io(input);
    EXPECT_EQ(Cli(args, io.Streams()), status) << ::testing::PrintToString(args);
    EXPECT_THAT(io.Out(), out) << ::testing::PrintToString(args);
    EXPECT_THAT(io.Err(), err) << ::testing::PrintToString(args);
}

} // namespace velnor::cli
