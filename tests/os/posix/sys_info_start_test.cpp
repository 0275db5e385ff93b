#include "core/about/file_exists.h"
#include "core/about/program_starter.h"
#include "tests/core/about/sys_info_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace velnor::test {
namespace {

const std::string Path = MsinfoKey + "\"PATH\"=";
const std::string Folder = LocationKey + "\"MSINFO\"=";

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
