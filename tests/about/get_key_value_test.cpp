#include "about/frmAbout.h"
#include "tests/about/about_fixture.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace velnor::test {
namespace {

enum class Outcome { False, True, Throws };

struct ValueCase {
    const char* name;
    std::string data; // as a REGEDIT4 file writes it; empty for a missing value
    Outcome outcome;
    QString keyVal; // from "before"
};

// Each key opened is closed again, whatever the outcome.
TEST(GetKeyValueTest, ReadsTextAndDwordsLeavesOtherTypesAndFailsForWhatIsMissingOrTooLong) {
    using enum Outcome;
    const ValueCase cases[] = {
        {"Text", "\"/usr/bin/hardinfo\"", True, "/usr/bin/hardinfo"},
        {"Empty", "\"\"", True, ""},
        {"Chinese", "\"系统信息\"", True, "系统信息"},
        {"Bare", "hex(1):41,42", True, "AB"}, // no terminator: every byte is text
        {"TwoNuls", "hex(1):41,00,00", True, QString::fromUtf16(u"A\0", 2)}, // one is dropped
        {"Nul", "hex(1):00", True, ""},
        {"NoCharacter", "hex(1):ff", True, QString(QChar(0xDCFF))},
        {"Fills", "\"" + std::string(1023, 'x') + "\"", True, QString(1023, u'x')}, // 1024 bytes
        {"TooLong", "\"" + std::string(1024, 'x') + "\"", False, ""},
        {"Dword255", "dword:000000ff", True, "&hFF"},
        {"Dword0", "dword:00000000", True, "&h0"},
        {"DwordTopZero", "dword:00000100", True, "&h100"},
        {"DwordFull", "dword:ffffffff", True, "&hFFFFFFFF"},
        {"DwordZeroDigits", "dword:0a0b0c0d", True, "&hA0B0C0D"},
        {"Expandable", "hex(2):25,00", True, "before"},
        {"Binary", "hex:01,02", True, "before"},
        {"NoData", "hex(1):", Throws, "before"},
        {"LongDword", "hex(4):01,02,03,04,05", Throws, "before"},
        {"Missing", "", False, ""},
    };
    std::string values = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Velnor]\n";
    for (const ValueCase& c : cases)
        values += c.data.empty() ? "" : "\"" + std::string(c.name) + "\"=" + c.data + "\n";
    ScriptedSysInfo sysInfo(values + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\系统]\n\"信息\"=\"ok\"");
    frmAbout box(sysInfo.Services());
    const auto read = [&](const char* key, const char* name, QString& keyVal) {
        try {
            return box.GetKeyValue(HKEY_LOCAL_MACHINE, key, name, keyVal) ? True : False;
        } catch (const std::invalid_argument&) {
            return Throws;
        }
    };
    for (const ValueCase& c : cases) {
        QString keyVal = "before";
        EXPECT_EQ(read("SOFTWARE\\Velnor", c.name, keyVal), c.outcome) << c.name;
        EXPECT_EQ(keyVal, c.keyVal) << c.name;
        EXPECT_EQ(sysInfo.registry->openKeys, 0) << c.name;
    }
    QString keyVal = "before";
    EXPECT_EQ(read("SOFTWARE\\系统", "信息", keyVal), True); // names pass in the ANSI code page
    EXPECT_EQ(keyVal, "ok");
    EXPECT_EQ(read("SOFTWARE\\Missing", "Text", keyVal), False);
    EXPECT_EQ(keyVal, "");
    sysInfo.registry->claimedSize = 2048; // more than the buffer it was handed
    EXPECT_THROW(box.GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Velnor", "Text", keyVal),
                 std::length_error);
    EXPECT_EQ(sysInfo.registry->openKeys, 0);
}

} // namespace
} // namespace velnor::test
