#include "core/about/sys_info_launcher.h"

#include "core/about/file_exists.h"
#include "core/about/program_starter.h"
#include "tests/core/about/sys_info_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

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
        {"an unhandled type under PATH",
         Path + "hex(2):2f,00\n" + Folder + "\"/o\"",
         {"start ", U}},
        {"a PATH value with no data", Path + "hex(1):\n" + Folder + "\"/o\"", {U}},
        {"no registry file", "", {U}},
        {"neither value", MsinfoKey + "\"Other\"=\"x\"", {U}},
        {"a folder without the tool", Folder + "\"/x\"", {"test /x\\MSINFO32.EXE", U}},
        {"a file test that fails", Folder + "\"//offline\"", {"test //offline\\MSINFO32.EXE", U}},
        {"a folder value with no data", Folder + "hex(1):", {U}},
        {"an unreadable registry file", "[HKEY_LOCAL_MACHINE\\A", {U}},
    };
    for (const auto& [what, registry, log] : cases) {
        ScriptedSysInfo sysInfo(registry);
        StartSysInfo(sysInfo.Services());
        EXPECT_EQ(sysInfo.log, log) << what;
    }
}

// A text value holding exactly the given bytes, NULs included.
std::string Hex(const std::string& bytes) {
    std::string hex = "hex(1):";
    for (const unsigned char c : bytes)
        hex += std::string(hex.size() > 7 ? "," : "") + "0123456789abcdef"[c >> 4] +
               "0123456789abcdef"[c & 15];
    return hex;
}

// With the machine's own file test and program start: only an ordinary file
// named exactly is started, and a tool there leaves "started" beside itself.
TEST(StartSysInfoTest, OnThisSystemOnlyAnOrdinaryFileNamedExactlyIsStarted) {
    TempTree tree;
    tree.WriteFile("msinfo/MSINFO32.EXE", "#!/bin/sh\ncd \"$(dirname \"$0\")\" && touch started\n");
    std::filesystem::permissions(tree.Path("msinfo/MSINFO32.EXE"),
                                 std::filesystem::perms::owner_all);
    tree.MakeFolder("folder/MSINFO32.EXE");
    const auto run = [&](const std::string& lines) {
        tree.WriteFile("registry.reg", "REGEDIT4\n" + lines + "\n");
        std::vector<std::string> messages;
        const SysInfoServices services{
            std::make_shared<RegeditRegistry>(tree.Path("registry.reg")),
            [](const std::u16string& path) { return OrdinaryFileExists(path); },
            [](const std::u16string& path) { StartProgram(path); },
            [&](const std::string& text) {
                messages.push_back(text);
            }};
        StartSysInfo(services);
        return messages;
    };
    const std::string tool = tree.Path("msinfo/MSINFO32.EXE").native();
    EXPECT_EQ(run(Path + Hex(tool + std::string(2, '\0'))), std::vector{Unavailable});
    EXPECT_EQ(run(Folder + Hex(tree.Path("folder").native() + '\0')), std::vector{Unavailable});
    EXPECT_EQ(run(Folder + Hex(tree.Path("msinfo").native() + '\0')), std::vector<std::string>{});
    const std::filesystem::path started = tree.Path("msinfo/started");
    for (int i = 0; i < 1000 && !std::filesystem::exists(started); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(std::filesystem::exists(started));
}

} // namespace
} // namespace velnor::test
