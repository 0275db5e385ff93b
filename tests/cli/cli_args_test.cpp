#include "cli/cli_args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velnor::cli {
namespace {

using Args = std::vector<std::string>;

TEST(CliArgs, HelpIsAskedForInEveryPosition) {
    for (const Args& args : {Args{"--help"}, Args{"-h"}, Args{"help"}, Args{"filter", "--help"},
                             Args{"run", "--help"}, Args{"restore", "-h"}}) {
        EXPECT_TRUE(std::holds_alternative<HelpArgs>(ParseArgs(args))) << args[0];
    }
}

TEST(CliArgs, LinesThatCannotBeCarriedOutAreUsageErrors) {
    const std::vector<Args> bad = {
        {},
        {"compress", "x"},
        {"filter", "--bogus"},
        {"filter", "-x"},
        {"filter", "a.html", "b.html"},
        {"filter", "--stats=yes"},
        {"run"},
        {"run", "--yes"},
        {"run", "a", "b"},
        {"run", "--ext"},
        {"run", "--keep", "site"},
        {"run", ""},
        {"restore"},
        {"restore", "--dry-run", "site"},
    };
    for (const Args& args : bad) {
        std::string line;
        for (const auto& arg : args) {
            line += arg + " ";
        }
        EXPECT_THROW(ParseArgs(args), UsageError) << line;
    }
}

TEST(CliArgs, UsageErrorNamesTheOffendingOption) {
    try {
        ParseArgs({"run", "--fast", "site"});
        FAIL() << "no usage error";
    } catch (const UsageError& error) {
        EXPECT_EQ(std::string(error.what()), "run: unknown option '--fast'");
    }
}

TEST(CliArgs, FilterDefaultsRemoveBothAndReadStandardInput) {
    auto filter = std::get<FilterArgs>(ParseArgs({"filter"}));
    EXPECT_FALSE(filter.keepSpaces);
    EXPECT_FALSE(filter.keepBreaks);
    EXPECT_FALSE(filter.stats);
    EXPECT_FALSE(filter.file.has_value());

    EXPECT_FALSE(std::get<FilterArgs>(ParseArgs({"filter", "-"})).file.has_value());
}

TEST(CliArgs, FilterFlagsAndFileInAnyOrder) {
    auto filter =
        std::get<FilterArgs>(ParseArgs({"filter", "--stats", "page.htm", "--keep-breaks"}));
    EXPECT_FALSE(filter.keepSpaces);
    EXPECT_TRUE(filter.keepBreaks);
    EXPECT_TRUE(filter.stats);
    EXPECT_EQ(filter.file, "page.htm");
}

TEST(CliArgs, DoubleDashLetsAFileNameStartWithADash) {
    auto filter = std::get<FilterArgs>(ParseArgs({"filter", "--", "--stats"}));
    EXPECT_FALSE(filter.stats);
    EXPECT_EQ(filter.file, "--stats");
}

TEST(CliArgs, RunDefaultsMatchTheWindow) {
    auto run = std::get<RunArgs>(ParseArgs({"run", "site"}));
    EXPECT_EQ(run.ext, "htm|html|asp");
    EXPECT_FALSE(run.keepSpaces);
    EXPECT_FALSE(run.keepBreaks);
    EXPECT_FALSE(run.noBackup);
    EXPECT_FALSE(run.yes);
    EXPECT_FALSE(run.dryRun);
    EXPECT_EQ(run.folder, "site");
}

TEST(CliArgs, RunTakesEveryOption) {
    auto run =
        std::get<RunArgs>(ParseArgs({"run", "--ext", "php|inc", "--keep-spaces", "--keep-breaks",
                                     "--no-backup", "--yes", "--dry-run", "site"}));
    EXPECT_EQ(run.ext, "php|inc");
    EXPECT_TRUE(run.keepSpaces);
    EXPECT_TRUE(run.keepBreaks);
    EXPECT_TRUE(run.noBackup);
    EXPECT_TRUE(run.yes);
    EXPECT_TRUE(run.dryRun);
    EXPECT_EQ(run.folder, "site");
}

TEST(CliArgs, ExtensionListMayBeJoinedWithEqualsOrEmpty) {
    EXPECT_EQ(std::get<RunArgs>(ParseArgs({"run", "--ext=shtml", "site"})).ext, "shtml");
    EXPECT_EQ(std::get<RunArgs>(ParseArgs({"run", "--ext", "", "site"})).ext, "");
    // The value is taken whole, even when it looks like an option.
    EXPECT_EQ(std::get<RunArgs>(ParseArgs({"run", "--ext", "--yes", "site"})).ext, "--yes");
}

TEST(CliArgs, RestoreTakesYesAndFolder) {
    auto restore = std::get<RestoreArgs>(ParseArgs({"restore", "--yes", "site"}));
    EXPECT_TRUE(restore.yes);
    EXPECT_EQ(restore.folder, "site");
    EXPECT_FALSE(std::get<RestoreArgs>(ParseArgs({"restore", "site"})).yes);
}

} // namespace
} // namespace velnor::cli
