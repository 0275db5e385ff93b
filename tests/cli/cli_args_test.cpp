#include "cli/cli_args.h"
#include "tests/cli/cli_test_helpers.h"

namespace velnor::cli {
namespace {

TEST(CliArgs, HelpFromEveryPositionAndTheVersionGoToStandardOutputWithStatusZero) {
    for (const Args& args :
         {Args{"--help"}, Args{"help"}, Args{"filter", "-h"}, Args{"run", "--help"}}) {
        ExpectInvocation(args, "", 0, StartsWith("Usage:\n  velnor-cli filter"), IsEmpty());
    }
    ExpectInvocation({"--version"}, "", 0, Eq("velnor-cli " VELNOR_PROJECT_VERSION "\n"),
                     IsEmpty());
}

TEST(CliArgs, UsageErrorExitsTwoWithOneLineAndNoOutput) {
    const std::pair<Args, std::string> cases[] = {
        {{}, "missing command (filter, run or restore)"},
        {{"compress", "x"}, "unknown command 'compress'"},
        {{"--version", "run"}, "--version takes no arguments, got 'run'"},
        {{"filter", "--keep-tabs"}, "filter: unknown option '--keep-tabs'"},
        {{"filter", "a", "b"}, "filter: only one FILE may be given, got 'b'"},
        {{"run", "--yes"}, "run: missing FOLDER"},
        {{"run", ""}, "run: FOLDER is empty"},
        {{"run", "--ext"}, "run: option '--ext' needs a value"},
        {{"restore", "--dry-run", "site"}, "restore: unknown option '--dry-run'"},
    };
    for (const auto& [args, what] : cases) {
        ExpectInvocation(args, "<b> x </b>", 2, IsEmpty(),
                         Eq("velnor-cli: " + what + " (see 'velnor-cli --help')\n"));
    }
}

// Started by a double-click, the usage stays on screen until a key is pressed.
TEST(CliArgs, NoCommandInAConsoleOfItsOwnShowsTheUsageAndWaitsForAKey) {
    CapturedStreams io("k");
    CliStreams streams = io.Streams(true);
    streams.consoleOfItsOwn = true;
    EXPECT_EQ(Cli({}, streams), 2);
    EXPECT_THAT(io.Out(),
                AllOf(StartsWith(HelpText()), EndsWith("press any key to close this window)...")));
    EXPECT_EQ(io.Err(), "");
    EXPECT_EQ(io.InputRead(), 1); // the key
}

TEST(CliArgs, OptionValuesAndOperandsAreTakenAsTyped) {
    EXPECT_EQ(std::get<RunArgs>(ParseArgs({"run", "--ext", "", "site"})).ext, "");
    EXPECT_EQ(std::get<RunArgs>(ParseArgs({"run", "--ext", "--yes", "site"})).ext, "--yes");
    EXPECT_EQ(std::get<FilterArgs>(ParseArgs({"filter", "--", "--stats"})).file, "--stats");
}

} // namespace
} // namespace velnor::cli
