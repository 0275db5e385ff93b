#include "core/about/program_starter.h"
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

} // namespace
} // namespace velnor::test
