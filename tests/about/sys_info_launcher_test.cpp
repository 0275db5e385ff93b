#include "about/sys_info_launcher.h"

#include "platform/regedit_registry.h"
#include "tests/about/scripted_sys_info.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

namespace velnor {
namespace {

using test::LocationKey;
using test::MsinfoKey;
using test::ScriptedSysInfo;

const QString Unavailable = QStringLiteral("此时系统信息不可用");

void Start(ScriptedSysInfo& sysInfo) {
    StartSysInfo(sysInfo.Services(), nullptr);
}

TEST(StartSysInfoTest, PathValueIsStartedWithoutAFileTest) {
    ScriptedSysInfo sysInfo(MsinfoKey + "\"PATH\"=\"/usr/bin/hardinfo\"\n" + LocationKey +
                            "\"MSINFO\"=\"/opt/msinfo\"\n");
    Start(sysInfo);
    EXPECT_EQ(sysInfo.starts, QStringList{"/usr/bin/hardinfo"});
    EXPECT_TRUE(sysInfo.fileTests.isEmpty());
    EXPECT_TRUE(sysInfo.messages.isEmpty());
    EXPECT_EQ(sysInfo.registry->opened,
              std::vector<std::string>{"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"});
}

TEST(StartSysInfoTest, ToolInTheMsinfoFolderIsStartedFromFolderAndFileName) {
    ScriptedSysInfo sysInfo(LocationKey + "\"MSINFO\"=\"C:\\\\Program Files\\\\MSINFO\"\n");
    sysInfo.existingFiles << "C:\\Program Files\\MSINFO\\MSINFO32.EXE";
    Start(sysInfo);
    EXPECT_EQ(sysInfo.fileTests, QStringList{"C:\\Program Files\\MSINFO\\MSINFO32.EXE"});
    EXPECT_EQ(sysInfo.starts, QStringList{"C:\\Program Files\\MSINFO\\MSINFO32.EXE"});
    EXPECT_TRUE(sysInfo.messages.isEmpty());
}

TEST(StartSysInfoTest, FileNameIsAppendedEvenAfterASeparator) {
    ScriptedSysInfo sysInfo(LocationKey + "\"MSINFO\"=\"C:\\\\MSINFO\\\\\"\n");
    Start(sysInfo);
    EXPECT_EQ(sysInfo.fileTests, QStringList{"C:\\MSINFO\\\\MSINFO32.EXE"});
}

TEST(StartSysInfoTest, EveryFailureShowsTheOneMessageAndStartsNothing) {
    struct Case {
        const char* what;
        std::string registry;
        bool fileTestFails = false;
    };
    const std::vector<Case> cases = {
        {"no registry file", ""},
        {"neither value", MsinfoKey + "\"Other\"=\"x\"\n"},
        {"a folder without the tool", LocationKey + "\"MSINFO\"=\"/opt/msinfo\"\n"},
        {"a file test that fails", LocationKey + "\"MSINFO\"=\"/opt/msinfo\"\n", true},
        {"a PATH value with no data", MsinfoKey + "\"PATH\"=hex(1):\n"},
        {"a folder value with no data", LocationKey + "\"MSINFO\"=hex(1):\n"},
        {"an unreadable registry file", "[HKEY_LOCAL_MACHINE\\A\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedSysInfo sysInfo(c.registry);
        sysInfo.fileTestFails = c.fileTestFails;
        Start(sysInfo);
        EXPECT_TRUE(sysInfo.starts.isEmpty());
        EXPECT_EQ(sysInfo.messages, QStringList{Unavailable});
    }
}

TEST(StartSysInfoTest, PathNamingAMissingProgramShowsTheMessageWithoutTheSecondLookup) {
    ScriptedSysInfo sysInfo(MsinfoKey + "\"PATH\"=\"/gone/hardinfo\"\n" + LocationKey +
                            "\"MSINFO\"=\"/opt/msinfo\"\n");
    sysInfo.failingPrograms << "/gone/hardinfo";
    sysInfo.existingFiles << "/opt/msinfo\\MSINFO32.EXE";
    Start(sysInfo);
    EXPECT_EQ(sysInfo.starts, QStringList{"/gone/hardinfo"});
    EXPECT_TRUE(sysInfo.fileTests.isEmpty());
    EXPECT_EQ(sysInfo.registry->opened.size(), 1u);
    EXPECT_EQ(sysInfo.messages, QStringList{Unavailable});
}

TEST(StartSysInfoTest, UnhandledTypeUnderPathStartsTheEmptyPathWhichFails) {
    ScriptedSysInfo sysInfo(MsinfoKey + "\"PATH\"=hex(2):2f,62,69,6e,00\n");
    Start(sysInfo);
    EXPECT_EQ(sysInfo.starts, QStringList{QString()});
    EXPECT_EQ(sysInfo.messages, QStringList{Unavailable});
}

// With the machine's own file test and program start.
class StartSysInfoOnThisSystemTest : public ::testing::Test {
protected:
    SysInfoServices Services() {
        SysInfoServices services = SystemSysInfoServices();
        services.registry = std::make_shared<RegeditRegistry>(tree_.Path("registry.reg"));
        services.showMessage = [this](QWidget*, const QString& text) {
            messages_ << text;
        };
        return services;
    }

    // A tool that leaves "started" beside itself.
    void WriteTool(const std::string& relative) {
        tree_.WriteFile(relative, "#!/bin/sh\ncd \"$(dirname \"$0\")\" && touch started\n");
        std::filesystem::permissions(tree_.Path(relative), std::filesystem::perms::owner_all);
    }

    bool ToolStarted(const std::string& folder) {
        const std::filesystem::path marker = tree_.Path(folder) / "started";
        for (int i = 0; i < 1000 && !std::filesystem::exists(marker); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::filesystem::exists(marker);
    }

    std::string Escaped(const std::filesystem::path& path) {
        std::string text;
        for (char c : path.string()) {
            text += c == '\\' || c == '"' ? std::string{'\\', c} : std::string{c};
        }
        return text;
    }

    test::TempTree tree_;
    QStringList messages_;
};

TEST_F(StartSysInfoOnThisSystemTest, StartsTheProgramThatPathNames) {
    WriteTool("bin/sysinfo");
    tree_.WriteFile("registry.reg", "REGEDIT4\n" + MsinfoKey + "\"PATH\"=\"" +
                                        Escaped(tree_.Path("bin/sysinfo")) + "\"\n");
    StartSysInfo(Services(), nullptr);
    EXPECT_TRUE(ToolStarted("bin"));
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(StartSysInfoOnThisSystemTest, FindsTheToolInTheMsinfoFolder) {
    WriteTool("msinfo/MSINFO32.EXE");
    tree_.WriteFile("registry.reg", "REGEDIT4\n" + LocationKey + "\"MSINFO\"=\"" +
                                        Escaped(tree_.Path("msinfo")) + "\"\n");
    StartSysInfo(Services(), nullptr);
    EXPECT_TRUE(ToolStarted("msinfo"));
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(StartSysInfoOnThisSystemTest, FolderHoldingAnotherFolderOfTheToolsNameShowsTheMessage) {
    tree_.MakeFolder("msinfo/MSINFO32.EXE");
    tree_.WriteFile("registry.reg", "REGEDIT4\n" + LocationKey + "\"MSINFO\"=\"" +
                                        Escaped(tree_.Path("msinfo")) + "\"\n");
    StartSysInfo(Services(), nullptr);
    EXPECT_EQ(messages_, QStringList{Unavailable});
}

TEST_F(StartSysInfoOnThisSystemTest, PathWithASecondTerminatorIsNotCutShort) {
    WriteTool("bin/sysinfo");
    // Read back as ".../sysinfo" and a NUL: that names no file.
    std::string hex;
    for (unsigned char c : tree_.Path("bin/sysinfo").string() + std::string(2, '\0')) {
        static const char* digits = "0123456789abcdef";
        hex += std::string(hex.empty() ? "" : ",") + digits[c >> 4] + digits[c & 15];
    }
    tree_.WriteFile("registry.reg", "REGEDIT4\n" + MsinfoKey + "\"PATH\"=hex(1):" + hex + "\n");
    StartSysInfo(Services(), nullptr);
    EXPECT_EQ(messages_, QStringList{Unavailable});
    EXPECT_FALSE(std::filesystem::exists(tree_.Path("bin/started")));
}

} // namespace
} // namespace velnor
