#include "core/about/sys_info_launcher.h"

#include "tests/core/about/sys_info_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace velnor::test {
namespace {

const std::string Path = MsinfoKey + "\"PATH\"=";
const std::string Folder = LocationKey + "\"MSINFO\"=";

TEST(StartSysInfoTest, StartsWhatPathNamesOrTheToolInTheMsinfoFolderOrShowsTheOneMessage) {
    const std::string U = Unavailable;
    const std::tuple<const char*, std::string, std::vector<std::string>> cases[] = {
        {"PATH, started without a file test",
         Path + "\"/usr/bin/hardinfo\"\n" + Folder + "\"/o\"",
         {"start /usr/bin/hardinfo"}},
        {"the tool in the MSINFO folder",
         Folder + "\"/o\"",
         {"test /o\\MSINFO32.EXE", "start /o\\MSINFO32.EXE"}},
        {"a folder ending in a separator, taken as it is",
         Folder + "\"C:\\\\MSINFO\\\\\"",
         {"test C:\\MSINFO\\\\MSINFO32.EXE", "start C:\\MSINFO\\\\MSINFO32.EXE"}},
        {"PATH naming a missing program",
         Path + "\"/gone/hardinfo\"\n" + Folder + "\"/o\"",
         {"start /gone/hardinfo", U}},
        {"a PATH value with no data", Path + "hex(1):\n" + Folder + "\"/o\"", {U}},
        {"no registry file", "", {U}},
        {"a folder without the tool", Folder + "\"/x\"", {"test /x\\MSINFO32.EXE", U}},
        {"a file test that fails", Folder + "\"//offline\"", {"test //offline\\MSINFO32.EXE", U}},
        {"an unreadable registry file", "[HKEY_LOCAL_MACHINE\\A", {U}},
    };
    for (const auto& [what, registry, log] : cases) {
        ScriptedSysInfo sysInfo(registry);
        StartSysInfo(sysInfo.Services());
        EXPECT_EQ(sysInfo.log, log) << what;
    }
}

} // namespace
} // namespace velnor::test
