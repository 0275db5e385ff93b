#include "run/extension_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velnor {
namespace {

using Entries = std::vector<std::string>;

TEST(SplitExtensions, SplitsAtEveryBarKeepingEntriesAsTyped) {
    EXPECT_EQ(SplitExtensions("htm|html|asp"), (Entries{"htm", "html", "asp"}));
    EXPECT_EQ(SplitExtensions("HTM| php"), (Entries{"HTM", " php"}));
    EXPECT_EQ(SplitExtensions("htm"), (Entries{"htm"}));
}

TEST(SplitExtensions, KeepsEmptyEntries) {
    EXPECT_EQ(SplitExtensions("htm||html"), (Entries{"htm", "", "html"}));
    EXPECT_EQ(SplitExtensions("|htm|"), (Entries{"", "htm", ""}));
    EXPECT_EQ(SplitExtensions("|"), (Entries{"", ""}));
}

TEST(SplitExtensions, EmptyTextGivesNoEntries) {
    EXPECT_TRUE(SplitExtensions("").empty());
}

struct MatchCase {
    const char* path;
    const char* extensions;
    bool matches;
};

class MatchesExtensionTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MatchesExtensionTest, ComparesTheEndIgnoringLetterCase) {
    const MatchCase c = GetParam();
    EXPECT_EQ(MatchesExtension(c.path, SplitExtensions(c.extensions)), c.matches)
        << c.path << " against " << c.extensions;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, MatchesExtensionTest,
    ::testing::Values(MatchCase{"/w/page.HTM", "htm|html|asp", true},
                      MatchCase{"/w/PAGE.htm", "htm|html|asp", true},
                      MatchCase{"/w/page.html", "htm|html|asp", true},
                      MatchCase{"/w/xhtm", "htm|html|asp", true}, // no dot is implied
                      MatchCase{"/w/page.htm.bak", "htm|html|asp", false},
                      MatchCase{"/w/page.txt", "htm|html|asp", false},
                      MatchCase{"/w/default.ASP", "htm|html|asp", true},
                      MatchCase{"/w/a.htm", "HTM", true},
                      MatchCase{"htm", "html", false}, // path shorter than the entry
                      MatchCase{"/w/a.htm", "", false}, MatchCase{"/w/a.txt", "htm||html", false},
                      MatchCase{"/w/a.txt", "|htm|", false},
                      MatchCase{"/w/a.html", "|htm|html", true}, MatchCase{"/w/页.中", "中", true},
                      MatchCase{"/w/a.htm", ".htm", true}, MatchCase{"/w/ahtm", ".htm", false}));

} // namespace
} // namespace velnor
