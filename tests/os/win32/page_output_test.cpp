#include "core/io/page_output.h"
#include "tests/support/test_console.h"

#include <gtest/gtest.h>

#include <io.h>

#include <string>

namespace velnor::test {
namespace {

// A block may end between the two bytes of a character: it is shown whole,
// and a lone lead byte at the very end is not lost.
TEST(PageOutput, ConsoleShowsACharacterSplitBetweenWritesWhole) {
    TestConsole console;
    HANDLE screen = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), console.Screen(), GetCurrentProcess(), &screen,
                                0, FALSE, DUPLICATE_SAME_ACCESS));
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(screen), 0);
    ASSERT_NE(fd, -1);
    {
        const auto page = io::MakePageOutput(fd, "the console");
        page->Write("<p>\xD6");
        page->Write("\xD0\xCE\xC4</p>\xD7");
        page->Finish();
    }
    _close(fd);
    const std::wstring line = console.Lines().at(0);
    EXPECT_EQ(line.substr(0, 9), L"<p>中文</p>");
    EXPECT_EQ(line.size(), 10u);
}

} // namespace
} // namespace velnor::test
