#include "tests/cli/cli_test_helpers.h"
#include "tests/support/child_process.h"
#include "tests/support/system_words.h"
#include "tests/support/temp_tree.h"

#include <string>

namespace velnor::cli {
namespace {

// Runs the built velnor-cli as its own process, standard input `input`, so
// it sees no terminal anywhere.
void ExpectProcess(const velnor::test::TempTree& tree, const Args& args, int status,
                   const StringMatcher& out, const StringMatcher& err,
                   const std::string& input = "") {
    tree.WriteFile("in", input);
    EXPECT_EQ(velnor::test::RunProgram(VELNOR_CLI_PATH, args, tree.Path("in"), tree.Path("out"),
                                       tree.Path("err")),
              status)
        << ::testing::PrintToString(args);
    EXPECT_THAT(tree.ReadFile("out"), out) << ::testing::PrintToString(args);
    EXPECT_THAT(tree.ReadFile("err"), err) << ::testing::PrintToString(args);
}

// In order, on one tree: the run is declined while the old backup stands,
// then done with --yes.
TEST(CliProcess, BuiltCommandExitsWithTheStatusOfWhatHappened) {
    velnor::test::TempTree tree;
    const std::string big(300'000, 'x'); // several times a block read
    tree.WriteFile("site/a.html", "<p> x </p>\r\n");
    tree.WriteFile("site.bak/a.html", "old");
    const std::string site = tree.Path("site").string();

    ExpectProcess(tree, {"filter"}, 0, Eq(big), IsEmpty(), big);
    ExpectProcess(tree, {"run", "--fast", site}, 2, IsEmpty(),
                  EndsWith("(see 'velnor-cli --help')\n"));
    ExpectProcess(tree, {"run", site}, 3, IsEmpty(), StartsWith("velnor-cli: " + site + ".bak "));
    ExpectProcess(tree, {"run", "--yes", site}, 0,
                  StartsWith("rewrote 1 page, 12 → 8 bytes (66.7% kept) in "), IsEmpty());
    EXPECT_EQ(tree.ReadFile("site/a.html"), "<p>x</p>");
    EXPECT_EQ(tree.ReadFile("site.bak/a.html"), "<p> x </p>\r\n");
    // the first error of a fresh process: nothing the program did before may
    // have set the error aside
    const std::string missing = tree.Path("missing.htm").string();
    ExpectProcess(tree, {"filter", missing}, 1, IsEmpty(),
                  Eq("velnor-cli: " + missing + ": " +
                     velnor::test::SystemWords(velnor::test::Fault::NoSuchFile) + "\n"));
}

} // namespace
} // namespace velnor::cli
