#include "tests/cli/cli_test_helpers.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace velnor::cli {
namespace {

struct ProcessResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the built velnor-cli as its own process, standard input from
// /dev/null, so it sees no terminal anywhere.
ProcessResult RunProcess(const std::vector<std::string>& args) {
    CapturedStreams io;
    std::vector<std::string> argv = {VELNOR_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (auto& arg : argv) {
        pointers.push_back(arg.data());
    }
    pointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, io.Streams().out, 1);
    posix_spawn_file_actions_adddup2(&actions, io.Streams().err, 2);
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, VELNOR_CLI_PATH, &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(spawned, 0);

    ProcessResult result;
    int wait = 0;
    EXPECT_EQ(waitpid(pid, &wait, 0), pid);
    EXPECT_TRUE(WIFEXITED(wait));
    result.status = WEXITSTATUS(wait);
    result.out = io.Out();
    result.err = io.Err();
    return result;
}

TEST(CliProcess, HelpGoesToStandardOutputWithStatusZero) {
    ProcessResult result = RunProcess({"--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.rfind("Usage:\n  velnor-cli filter", 0), 0u);
    EXPECT_EQ(result.err, "");
}

TEST(CliProcess, UsageErrorsExitTwoWithOneLineAndNoOutput) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"run"}, {"restore", "--yes"}, {"filter", "--fast"}, {"zip"}}) {
        ProcessResult result = RunProcess(args);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
}

TEST(CliProcess, FilterWritesTheCompactedFileAndStats) {
    velnor::test::TempTree tree;
    tree.WriteFile("page.htm", "<div>a  b\r\n  c</div>");
    ProcessResult result =
        RunProcess({"filter", "--keep-breaks", "--stats", tree.Path("page.htm").string()});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "<div>ab\rc</div>");
    EXPECT_EQ(result.err, "chars=20 kept=14 steps=19 bytes_in=20 bytes_out=15\n");
}

TEST(CliProcess, FilterOfMissingFileExitsOneWithNothingOnStandardOutput) {
    velnor::test::TempTree tree;
    ProcessResult result = RunProcess({"filter", tree.Path("none.htm").string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "velnor-cli: " + tree.Path("none.htm").string() + ": No such file or directory\n");
}

TEST(CliProcess, RunCompactsAndSummarisesOnStandardOutput) {
    velnor::test::TempTree tree;
    tree.WriteFile("site/a.html", "<p> x </p>\r\n");
    ProcessResult result = RunProcess({"run", "--yes", tree.Path("site").string()});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(tree.ReadFile("site/a.html"), "<p>x</p>");
    EXPECT_EQ(tree.ReadFile("site.bak/a.html"), "<p> x </p>\r\n");
    EXPECT_EQ(result.out.rfind("rewrote 1 page, 12 → 8 bytes (66.7% kept) in ", 0), 0u)
        << result.out;
    EXPECT_EQ(result.err, "");
}

TEST(CliProcess, QuestionWithoutTerminalIsDeclinedWithStatusThree) {
    velnor::test::TempTree tree;
    tree.WriteFile("site/a.html", "<p> x </p>");
    tree.WriteFile("site.bak/a.html", "<p> x </p>");
    ProcessResult run = RunProcess({"run", tree.Path("site").string()});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(tree.ReadFile("site/a.html"), "<p> x </p>");

    ProcessResult restore = RunProcess({"restore", tree.Path("site").string()});
    EXPECT_EQ(restore.status, 3);
}

} // namespace
} // namespace velnor::cli
