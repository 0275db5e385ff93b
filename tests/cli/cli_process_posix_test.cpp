#include "tests/cli/cli_test_helpers.h"
#include "tests/support/temp_tree.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace velnor::cli {
namespace {

// Runs the built velnor-cli through the shell, as the user `as` makes it.
void ExpectProcess(const velnor::test::TempTree& tree, const Args& args, int status,
                   const StringMatcher& err, const std::string& as) {
    std::string line = as + "'" VELNOR_CLI_PATH "'";
    for (const auto& arg : args)
        line += " '" + arg + "'";
    line += " </dev/null >/dev/null 2>'" + tree.Path("err").string() + "'";
    const int exit = std::system(line.c_str());
    ASSERT_TRUE(WIFEXITED(exit)) << line;
    EXPECT_EQ(WEXITSTATUS(exit), status) << line;
    EXPECT_THAT(tree.ReadFile("err"), err) << line;
}

// An ordinary user (root runs the tests) may not rewrite a page it could not
// write, nor one it could that belongs to another: that would change hands.
TEST(CliProcess, AnOrdinaryUserNeverRewritesAPageItMayNotWriteOrDoesNotOwn) {
    if (::geteuid() != 0 || std::system("setpriv --version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "needs root and setpriv to run as another user";
    }
    constexpr uid_t kNobody = 65534;
    velnor::test::TempTree tree;
    ASSERT_EQ(::chmod(tree.Root().c_str(), 0755), 0);
    tree.WriteFile("site/a.htm", "<p> a </p>");
    tree.WriteFile("site/b.htm", "<p> b </p>");
    for (const char* owned : {"site", "site/a.htm"})
        ASSERT_EQ(::chown(tree.Path(owned).c_str(), kNobody, kNobody), 0);
    const std::string as = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    const std::string site = tree.Path("site").string();
    ExpectProcess(tree, {"run", "--no-backup", site}, 1,
                  StartsWith("velnor-cli: " + site + "/b.htm: Permission denied\n"), as);
    ASSERT_EQ(::chmod(tree.Path("site/b.htm").c_str(), 0666), 0);
    ExpectProcess(
        tree, {"run", "--no-backup", site}, 1,
        StartsWith("velnor-cli: " + site +
                   "/b.htm: its owner and group cannot be kept: Operation not permitted\n"),
        as);
    EXPECT_EQ(tree.ReadFile("site/a.htm"), "<p>a</p>");
    EXPECT_EQ(tree.ReadFile("site/b.htm"), "<p> b </p>");
    struct stat info {};
    ASSERT_EQ(::stat(tree.Path("site/b.htm").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 0u);
    EXPECT_EQ(tree.Entries("site"), (std::vector<std::string>{"a.htm", "b.htm"}));
}

} // namespace
} // namespace velnor::cli
