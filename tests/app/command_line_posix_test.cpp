#include "app/command_line.h"

#include "tests/support/temp_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace velnor::test {
namespace {

using namespace ::testing;

std::optional<WindowCommandLine> Read(std::vector<std::string> words, bool qtOptionsTaken) {
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    return ReadCommandLine(static_cast<int>(words.size()), argv.data(), qtOptionsTaken);
}

TEST(WindowCommandLine, FolderIsTheOneOperandByteForByte) {
    const std::string gbk = "/srv/\xCD\xF8\xD5\xBE"; // not UTF-8
    const std::pair<std::vector<std::string>, std::optional<std::string>> cases[] = {
        {{"velnor"}, std::nullopt},
        {{"velnor", gbk}, gbk},
        {{"velnor", "--", "--help"}, "--help"},
    };
    for (const auto& [words, folder] : cases) {
        const std::optional<WindowCommandLine> line = Read(words, true);
        ASSERT_TRUE(line) << words.back();
        EXPECT_EQ(line->folder, folder) << words.back();
    }
    // Qt's own options are known only once the application has taken them out.
    EXPECT_FALSE(Read({"velnor", "-platform", "offscreen", "site"}, false));
}

// Runs the built window program with no display at all (and a runtime folder
// of its own, which Qt otherwise warns about).
TEST(WindowCommandLine, HelpVersionAndUsageErrorsNeedNoDisplay) {
    TempTree tree;
    using Matcher = ::testing::Matcher<const std::string&>;
    const std::string refused = " (see 'velnor --help')\n";
    const std::tuple<std::string, int, Matcher, Matcher> cases[] = {
        {"--help", 0, AllOf(StartsWith("Usage: "), HasSubstr(" [options] [FOLDER]\n")), IsEmpty()},
        {"--version", 0, Eq("velnor " VELNOR_PROJECT_VERSION "\n"), IsEmpty()},
        {"a b", 2, IsEmpty(), Eq("velnor: only one FOLDER may be given, got 'b'" + refused)},
        {"-platform offscreen --bogus", 2, IsEmpty(),
         Eq("velnor: Unknown option 'bogus'." + refused)},
    };
    for (const auto& [args, status, out, err] : cases) {
        const std::string line = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "
                                 "XDG_RUNTIME_DIR='" +
                                 tree.Root().native() + "' '" + std::string(VELNOR_WINDOW_PATH) +
                                 "' " + args + " </dev/null >'" + tree.Path("out").native() +
                                 "' 2>'" + tree.Path("err").native() + "'";
        const int exit = std::system(line.c_str());
        ASSERT_TRUE(WIFEXITED(exit)) << args;
        EXPECT_EQ(WEXITSTATUS(exit), status) << args;
        EXPECT_THAT(tree.ReadFile("out"), out) << args;
        EXPECT_THAT(tree.ReadFile("err"), err) << args;
    }
}

} // namespace
} // namespace velnor::test
