#include "core/about/program_starter.h"
#include "tests/support/temp_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

namespace velnor {
namespace {

TEST(StartProgram, StartsTheProgramWithNoArgumentsWithoutWaitingForIt) {
    test::TempTree folder;
    // Leaves the number of arguments it got in "started".
    folder.WriteFile("sub/MSINFO32.EXE",
                     "#!/bin/sh\ncd \"$(dirname \"$0\")\" && echo $# > started.tmp && "
                     "mv started.tmp started\n");
    std::filesystem::permissions(folder.Path("sub/MSINFO32.EXE"),
                                 std::filesystem::perms::owner_all);

    StartProgram(folder.Path("sub").u16string() +
                 u"\\MSINFO32.EXE"); // "\" separates names as in registry paths

    const std::filesystem::path started = folder.Path("sub/started");
    for (int i = 0; i < 1000 && !std::filesystem::exists(started); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(folder.ReadFile("sub/started"), "0\n");
}

TEST(StartProgram, ProgramThatCannotBeStartedIsAnErrorAndAMalformedPathStartsNothing) {
    test::TempTree folder;
    folder.WriteFile("plain", "not a program");
    EXPECT_THAT([&] { StartProgram(folder.Path("absent").u16string()); },
                ::testing::ThrowsMessage<std::runtime_error>(::testing::HasSubstr("No such file")));
    EXPECT_THROW(StartProgram(folder.Path("plain").u16string()), std::runtime_error);
    EXPECT_THROW(StartProgram(folder.Path(".").u16string()), std::runtime_error);
    EXPECT_THROW(StartProgram(u""), std::invalid_argument);
    // A bare name is looked up in PATH.
    EXPECT_NO_THROW(StartProgram(u"true"));
    EXPECT_THROW(StartProgram(u"velnor-no-such-program"), std::runtime_error);
    // Cut at the NUL, this would start "plain".
    EXPECT_THROW(StartProgram(folder.Path("plain").u16string() + u'\0' + u"junk"),
                 std::invalid_argument);
}

} // namespace
} // namespace velnor
