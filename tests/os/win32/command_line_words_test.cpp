#include "os/win32/command_line_words.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace velnor::test {
namespace {

TEST(CommandLineWords, QuotedDriveRootKeepsItsBackslash) {
    using Words = std::vector<std::string>;
    const std::pair<std::wstring, Words> cases[] = {
        {LR"(velnor.exe "D:\")", {"D:\\"}},
        {LR"(velnor.exe "D:\site" --ext="htm")", {"D:\\site", "--ext=htm"}},
        {LR"(velnor.exe \"a\" "")", {"\"a\"", ""}},
        {LR"(velnor.exe 网页)", {"网页"}},
        {LR"(velnor.exe \\?\C:\site "\\server\share")", {"\\\\?\\C:\\site", "\\\\server\\share"}},
    };
    for (const auto& [line, words] : cases)
        EXPECT_EQ(CommandLineWords(line), words) << std::filesystem::path(line);
}

} // namespace
} // namespace velnor::test
