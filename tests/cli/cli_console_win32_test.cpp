#include "core/io/stream_io.h"
#include "tests/support/temp_tree.h"
#include "tests/support/test_console.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velnor::test {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

// The page's bytes are GBK: a console shows them as the text they are, not as
// UTF-8 gone wrong.
TEST(CliConsole, PageShowsAsTheTextItIs) {
    TempTree tree;
    const std::string page = tree.WriteFile("gbk.htm", "<p>\xD6\xD0\xCE\xC4 \xD7\xD6</p>").string();
    TestConsole console;
    EXPECT_EQ(console.Run(VELNOR_CLI_PATH, {"filter", page}), 0);
    EXPECT_EQ(console.Lines(), std::vector<std::wstring>{L"<p>中文字</p>"});
}

// A prompt shares its console with the command, which must not wait there.
TEST(CliConsole, OnlyAConsoleOfItsOwnKeepsTheUsageUntilAKey) {
    TestConsole console;
    EXPECT_TRUE(io::InConsoleOfItsOwn()); // the test alone on it, as a double-clicked program
    EXPECT_EQ(console.Run(VELNOR_CLI_PATH, {}), 2);
    EXPECT_THAT(console.Lines(), Contains(HasSubstr(std::wstring(L"velnor-cli: missing command"))));
}

} // namespace
} // namespace velnor::test
