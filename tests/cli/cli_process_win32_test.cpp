#include "tests/support/child_process.h"
#include "tests/support/temp_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace velnor::test {
namespace {

// The literal form reaches the run as the folder it names, backup and all.
TEST(CliProcess, FolderInTheLiteralFormRuns) {
    TempTree tree;
    tree.WriteFile("site/a.html", "<p> x </p>\r\n");
    const std::string literal = "\\\\?\\" + tree.Path("site").string();
    EXPECT_EQ(RunProgram(VELNOR_CLI_PATH, {"run", literal}, tree.WriteFile("in", ""),
                         tree.Path("out"), tree.Path("err")),
              0)
        << tree.ReadFile("err");
    EXPECT_THAT(tree.ReadFile("out"), ::testing::StartsWith("rewrote 1 page, "));
    EXPECT_EQ(tree.ReadFile("site/a.html"), "<p>x</p>");
    EXPECT_EQ(tree.ReadFile("site.bak/a.html"), "<p> x </p>\r\n");
}

} // namespace
} // namespace velnor::test
