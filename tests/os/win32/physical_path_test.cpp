#include "core/files/physical_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

namespace velnor::test {
namespace {

TEST(PhysicalPath, DrivePathsInTheEverydayFormSharePathsInTheLiteralOneAndTheirRoots) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {LR"(\\?\C:\site\)", LR"(C:\site)"},
        {LR"(\\?\c:)", LR"(c:\)"},
        {LR"(\\?\C:\site.)", LR"(C:\site.)"}, // the system would drop the dot of the everyday form
        {LR"(\\?\UNC\server\share\site.\)", LR"(\\?\UNC\server\share\site.)"},
        {LR"(\\?\unc\server\share)", LR"(\\?\UNC\server\share\)"},
        {LR"(\\server\share\a\..\b\)", LR"(\\?\UNC\server\share\b)"},
        {LR"(C:/a/./b/../c\\)", LR"(C:\a\c)"},
        {LR"(C:\)", LR"(C:\)"},
    };
    for (const auto& [given, physical] : cases)
        EXPECT_EQ(PhysicalPath(given).native(), physical) << std::filesystem::path(given);
    EXPECT_EQ(PhysicalPath(L"site\\"), std::filesystem::current_path() / L"site");
    // A share's root holds its server and share names; std::filesystem knows none here.
    const std::pair<std::wstring, std::wstring> roots[] = {
        {LR"(C:\site\news)", LR"(C:\)"},
        {LR"(\\?\UNC\server\share\site)", LR"(\\?\UNC\server\share\)"},
        {LR"(\\?\Volume{1}\site)", LR"(\\?\Volume{1}\)"},
    };
    for (const auto& [physical, root] : roots)
        EXPECT_EQ(PhysicalRoot(physical).native(), root) << std::filesystem::path(physical);
}

} // namespace
} // namespace velnor::test
