#include "core/about/file_exists.h"
#include "core/about/program_starter.h"
#include "os/win32/windows_api.h"
#include "tests/support/temp_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>

namespace velnor::test {
namespace {

TEST(StartProgram, StartsTheProgramWithNoArgumentsWithoutWaitingForIt) {
    TempTree tree;
    tree.MakeFolder("系统 工具");
    const std::filesystem::path tool = tree.Path("系统 工具/MSINFO32.EXE");
    std::filesystem::copy_file(VELNOR_STARTED_CHILD, tool);

    // the whole path, unquoted, as the command line: found even with a blank in it
    StartProgram(tool.u16string());

    const std::filesystem::path started = tree.Path("系统 工具/started");
    for (int i = 0; i < 1000 && !std::filesystem::exists(started); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(tree.ReadFile("系统 工具/started"), "0");
}

TEST(StartProgram, ProgramThatCannotBeStartedIsAnErrorAndAMalformedPathStartsNothing) {
    TempTree tree;
    tree.WriteFile("plain.exe", "not a program");
    EXPECT_THAT([&] { StartProgram(tree.Path("absent.exe").u16string()); },
                ::testing::ThrowsMessage<std::system_error>(::testing::HasSubstr("cannot start")));
    EXPECT_THROW(StartProgram(tree.Path("plain.exe").u16string()), std::system_error);
    EXPECT_THROW(StartProgram(u""), std::invalid_argument);
    EXPECT_THROW(StartProgram(tree.Path("plain.exe").u16string() + u'\0' + u"junk"),
                 std::invalid_argument);
}

enum class Answer { Yes, No, Malformed };

Answer Ask(const std::u16string& path) {
    try {
        return OrdinaryFileExists(path) ? Answer::Yes : Answer::No;
    } catch (const std::invalid_argument&) {
        return Answer::Malformed;
    }
}

// Hidden and system files count as missing, as folders do.
TEST(OrdinaryFileExists, OnlyVisibleOrdinaryFilesCount) {
    TempTree tree;
    for (const char* name : {"folder/tool", "hidden", "system", "系统信息"})
        tree.WriteFile(name, "x");
    SetFileAttributesW(tree.Path("hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(tree.Path("system").c_str(), FILE_ATTRIBUTE_SYSTEM);
    const std::u16string root = tree.Root().u16string() + u"\\";
    const std::pair<std::u16string, Answer> cases[] = {
        {u"folder\\tool", Answer::Yes},
        {u"系统信息", Answer::Yes},
        {u"folder", Answer::No},
        {u"hidden", Answer::No},
        {u"system", Answer::No},
        {u"absent", Answer::No},
        {u"folder\\tool" + std::u16string(1, u'\0') + u".old", Answer::Malformed},
        {u"folder\\\xD800", Answer::Malformed},
    };
    for (const auto& [path, answer] : cases)
        EXPECT_EQ(Ask(root + path), answer) << std::string(path.begin(), path.end());
}

} // namespace
} // namespace velnor::test
