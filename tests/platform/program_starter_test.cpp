#include "platform/program_starter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

namespace velnor {
namespace {

class StartProgramTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    std::filesystem::path Path(const std::string& name) const {
        return dir_.filePath(QString::fromStdString(name)).toStdString();
    }
    std::u16string Text(const std::string& name) const {
        return dir_.filePath(QString::fromStdString(name)).toStdU16String();
    }

    // A script that leaves the number of arguments it got in "started".
    void WriteTool(const std::string& name) const {
        std::ofstream(Path(name)) << "#!/bin/sh\n"
                                     "cd \"$(dirname \"$0\")\" && echo $# > started.tmp && "
                                     "mv started.tmp started\n";
        std::filesystem::permissions(Path(name), std::filesystem::perms::owner_all);
    }

    // Whatever the tool wrote, once it has written it; the start does not wait.
    std::string WaitForTool(const std::string& folder = ".") const {
        const std::filesystem::path started = Path(folder + "/started");
        for (int i = 0; i < 1000 && !std::filesystem::exists(started); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::ifstream in(started);
        std::string text;
        std::getline(in, text);
        return text;
    }

    QTemporaryDir dir_;
};

TEST_F(StartProgramTest, StartsTheProgramWithNoArguments) {
    WriteTool("tool");
    StartProgram(Text("tool"));
    EXPECT_EQ(WaitForTool(), "0");
}

TEST_F(StartProgramTest, BackslashSeparatesNamesAsInRegistryPaths) {
    std::filesystem::create_directory(Path("sub"));
    WriteTool("sub/MSINFO32.EXE");
    StartProgram(Text("sub") + u"\\MSINFO32.EXE");
    EXPECT_EQ(WaitForTool("sub"), "0");
}

TEST_F(StartProgramTest, ProgramThatCannotBeStartedIsAnErrorInTheSystemsWords) {
    std::ofstream(Path("plain")) << "not a program";
    try {
        StartProgram(Text("absent"));
        ADD_FAILURE() << "started a missing program";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("No such file"), std::string::npos)
            << error.what();
    }
    EXPECT_THROW(StartProgram(Text("plain")), std::runtime_error);
    EXPECT_THROW(StartProgram(dir_.path().toStdU16String()), std::runtime_error);
}

TEST_F(StartProgramTest, MalformedPathIsAnError) {
    WriteTool("tool");
    EXPECT_THROW(StartProgram(u""), std::invalid_argument);
    EXPECT_THROW(StartProgram(Text("tool") + u'\0' + u"junk"), std::invalid_argument);
    EXPECT_FALSE(std::filesystem::exists(Path("started")));
}

} // namespace
} // namespace velnor
