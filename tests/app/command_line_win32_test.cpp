// First: the window's headers take <windows.h> after the core's registry names.
#include "tests/ui/win32/window_fixture.h"

#include "app/win32_command_line.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_tree.h"
#include "tests/support/test_console.h"
#include "tests/support/windows_process.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace velnor::test {
namespace {

using ::testing::Contains;

const std::string Refused = " (see 'velnor --help')\n";

TEST(WindowArguments, FolderIsTheOneOperandAndOptionsOnlyAnswer) {
    using Words = std::vector<std::string>;
    const std::tuple<Words, std::optional<std::filesystem::path>, std::string, int> cases[] = {
        {{}, std::nullopt, "", 0},
        {{"D:\\网页"}, L"D:\\网页", "", 0},
        {{"--", "--help"}, L"--help", "", 0},
        {{"/?"}, std::nullopt, "Usage: velnor [options] [FOLDER]\n", 0},
        {{"site", "--version"}, std::nullopt, "velnor " VELNOR_PROJECT_VERSION "\n", 0},
        {{"a", "b"}, std::nullopt, "velnor: only one FOLDER may be given, got 'b'" + Refused, 2},
        {{"--bogus", "site"}, std::nullopt, "velnor: Unknown option 'bogus'." + Refused, 2},
    };
    for (const auto& [words, folder, answer, status] : cases) {
        const WindowRequest request = ReadWindowArguments(words);
        SCOPED_TRACE(::testing::PrintToString(words));
        EXPECT_EQ(request.folder, folder);
        EXPECT_EQ(request.answer.substr(0, answer.size()), answer);
        EXPECT_EQ(request.status, status);
    }
}

// Redirected, the answer goes to the file; from a prompt, to its console.
TEST(WindowProgram, AnswersWhereItWasStartedFrom) {
    TempTree tree;
    const std::filesystem::path in = tree.WriteFile("in", "");
    EXPECT_EQ(RunProgram(VELNOR_WINDOW_PATH, {"--version"}, in, tree.Path("out"), tree.Path("err")),
              0);
    EXPECT_EQ(tree.ReadFile("out"), "velnor " VELNOR_PROJECT_VERSION "\n");
    EXPECT_EQ(RunProgram(VELNOR_WINDOW_PATH, {"--bogus"}, in, tree.Path("out"), tree.Path("err")),
              2);
    EXPECT_EQ(tree.ReadFile("err"), "velnor: Unknown option 'bogus'." + Refused);

    TestConsole console;
    EXPECT_EQ(console.Run(VELNOR_WINDOW_PATH, {"--version"}, false), 0);
    EXPECT_THAT(console.Lines(), Contains(L"velnor " VELNOR_PROJECT_VERSION));
}

// Started with no console (from Explorer, say): a usage error in a box.
TEST(WindowProgram, UsageErrorWithNoConsoleIsShownInABox) {
    FreeConsole(); // a test started at a terminal would lend the program its console
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    std::wstring line = CommandLineOf(VELNOR_WINDOW_PATH, {"--bogus"});
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    std::vector<BoxSeen> boxes;
    for (int i = 0; i < 3000 && boxes.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const auto find = [](HWND window, LPARAM found) -> BOOL {
            auto* seen = reinterpret_cast<std::pair<DWORD, std::vector<BoxSeen>*>*>(found);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == seen->first && IsWindowVisible(window) && ClassOf(window) == L"#32770") {
                seen->second->push_back(ReadBox(window));
                PostMessageW(window, WM_COMMAND, IDOK, 0);
            }
            return TRUE;
        };
        std::pair<DWORD, std::vector<BoxSeen>*> seen{process.dwProcessId, &boxes};
        EnumWindows(find, reinterpret_cast<LPARAM>(&seen));
    }
    EXPECT_EQ(ExitStatusOf(process), 2);
    ASSERT_EQ(boxes.size(), 1u); // its icon is another process's, which cannot be told here
    EXPECT_EQ(boxes[0].text, "velnor: Unknown option 'bogus'. (see 'velnor --help')");
    EXPECT_EQ(boxes[0].title, "Velnor");
    EXPECT_EQ(boxes[0].buttons, std::vector<int>{IDOK});
}

} // namespace
} // namespace velnor::test
