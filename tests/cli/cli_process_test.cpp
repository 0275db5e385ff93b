#include "tests/cli/cli_test_helpers.h"
#include "tests/support/temp_tree.h"

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

namespace velnor::cli {
namespace {

// Runs the built velnor-cli as its own process, standard input a pipe from
// `input`, so it sees no terminal anywhere.
void ExpectProcess(const velnor::test::TempTree& tree, const Args& args, int status,
                   const StringMatcher& out, const StringMatcher& err,
                   const std::string& input = "/dev/null", const std::string& as = "") {
    std::string line = "cat '" + input + "' | " + as + "'" VELNOR_CLI_PATH "'";
    for (const auto& arg : args) {
        line += " '" + arg + "'";
    }
    line += " >'" + tree.Path("out").string() + "' 2>'" + tree.Path("err").string() + "'";
    const int exit = std::system(line.c_str());
    ASSERT_TRUE(WIFEXITED(exit)) << line;
    EXPECT_EQ(WEXITSTATUS(exit), status) << line;
    EXPECT_THAT(tree.ReadFile("out"), out) << line;
    EXPECT_THAT(tree.ReadFile("err"), err) << line;
}

// In order, on one tree: the run is declined while the old backup stands,
// then done with --yes; the restore is declined too.
TEST(CliProcess, BuiltCommandExitsWithTheStatusOfWhatHappened) {
    velnor::test::TempTree tree;
    tree.WriteFile("page.htm", "<div>a  b\r\n  c</div>");
    std::string big;
    while (big.size() < 300'000) { // several times the first chunk read from a pipe
        big += "<b>x</b>\xD6\xD0";
    }
    tree.WriteFile("big.htm", big);
    tree.WriteFile("site/a.html", "<p> x </p>\r\n");
    tree.WriteFile("site.bak/a.html", "old");
    const std::string missing = tree.Path("none.htm").string();
    const std::string site = tree.Path("site").string();

    ExpectProcess(tree, {"--help"}, 0, StartsWith("Usage:\n  velnor-cli filter"), IsEmpty());
    ExpectProcess(tree, {"filter", "--keep-breaks", "--stats", tree.Path("page.htm").string()}, 0,
                  Eq("<div>ab\rc</div>"),
                  Eq("chars=20 kept=14 steps=19 bytes_in=20 bytes_out=15\n"));
    ExpectProcess(tree, {"filter"}, 0, Eq(big), IsEmpty(), tree.Path("big.htm").string());
    ExpectProcess(tree, {"filter", missing}, 1, IsEmpty(),
                  Eq("velnor-cli: " + missing + ": No such file or directory\n"));
    ExpectProcess(tree, {"run", "--fast", site}, 2, IsEmpty(),
                  EndsWith("(see 'velnor-cli --help')\n"));
    ExpectProcess(tree, {"run", site}, 3, IsEmpty(), StartsWith("velnor-cli: " + site + ".bak "));
    ExpectProcess(tree, {"run", "--yes", site}, 0,
                  StartsWith("rewrote 1 page, 12 → 8 bytes (66.7% kept) in "), IsEmpty());
    ExpectProcess(tree, {"restore", site}, 3, IsEmpty(), StartsWith("velnor-cli: "));
    {
        const auto held = MakeFileSystem()->LockFolder(tree.Path("site"));
        const std::string busy = FolderInUse(tree.Path("site")).what();
        ExpectProcess(tree, {"run", "--yes", site}, 1, IsEmpty(), Eq("velnor-cli: " + busy + "\n"));
        ExpectProcess(tree, {"restore", "--yes", site}, 1, IsEmpty(),
                      Eq("velnor-cli: " + busy + "\n"));
    }
    EXPECT_EQ(tree.ReadFile("site/a.html"), "<p>x</p>");
    EXPECT_EQ(tree.ReadFile("site.bak/a.html"), "<p> x </p>\r\n");
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
    for (const char* owned : {"site", "site/a.htm"}) {
        ASSERT_EQ(::chown(tree.Path(owned).c_str(), kNobody, kNobody), 0);
    }
    const std::string as = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    const std::string site = tree.Path("site").string();
    ExpectProcess(tree, {"run", "--no-backup", site}, 1, IsEmpty(),
                  StartsWith("velnor-cli: " + site + "/b.htm: Permission denied\n"), "/dev/null",
                  as);
    ASSERT_EQ(::chmod(tree.Path("site/b.htm").c_str(), 0666), 0);
    ExpectProcess(
        tree, {"run", "--no-backup", site}, 1, IsEmpty(),
        StartsWith("velnor-cli: " + site +
                   "/b.htm: its owner and group cannot be kept: Operation not permitted\n"),
        "/dev/null", as);
    EXPECT_EQ(tree.ReadFile("site/a.htm"), "<p>a</p>");
    EXPECT_EQ(tree.ReadFile("site/b.htm"), "<p> b </p>");
    struct stat info {};
    ASSERT_EQ(::stat(tree.Path("site/b.htm").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 0u);
    EXPECT_EQ(tree.Entries("site"), (std::vector<std::string>{"a.htm", "b.htm"}));
}

} // namespace
} // namespace velnor::cli
