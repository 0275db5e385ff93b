#include "core/about/key_value_reader.h"

#include "tests/core/about/sys_info_fixture.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>

namespace velnor::test {
namespace {

enum class Outcome { False, True, Throws };

// A value's name, its data as a REGEDIT4 file writes it (empty: missing), what
// reading it gives and what keyVal then holds (it was "before").
using ValueCase = std::tuple<const char*, std::string, Outcome, std::u16string>;

TEST(GetKeyValueTest, ReadsTextAndDwordsLeavesOtherTypesAndFailsForWhatIsMissingOrTooLong) {
    using enum Outcome;
    const ValueCase cases[] = {
        {"Text", "\"/usr/bin/hardinfo\"", True, u"/usr/bin/hardinfo"},
        {"Chinese", "\"系统信息\"", True, u"系统信息"},
        {"Bare", "hex(1):41,42", True, u"AB"}, // no terminator: every byte is text
        {"TwoNuls", "hex(1):41,00,00", True, std::u16string(u"A\0", 2)}, // one is dropped
        {"NoCharacter", "hex(1):ff", True, std::u16string(1, u'\xDCFF')},
        {"Fills", "\"" + std::string(1023, 'x') + "\"", True,
         std::u16string(1023, u'x')}, // 1024 bytes
        {"TooLong", "\"" + std::string(1024, 'x') + "\"", False, u""},
        {"DwordZeroDigits", "dword:0a0b0c0d", True, u"&hA0B0C0D"},
        {"Expandable", "hex(2):25,00", True, u"before"},
        {"NoData", "hex(1):", Throws, u"before"},
        {"LongDword", "hex(4):01,02,03,04,05", Throws, u"before"},
        {"Missing", "", False, u""},
    };
    std::string values = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Velnor]\n";
    for (const auto& [name, data, outcome, expected] : cases)
        values += data.empty() ? "" : "\"" + std::string(name) + "\"=" + data + "\n";
    ScriptedSysInfo sysInfo(values + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\系统]\n\"信息\"=\"ok\"");
    Registry& registry = *sysInfo.registry;
    const auto read = [&](const std::u16string& key, const std::string& name,
                          std::u16string& keyVal) {
        try {
            return GetKeyValue(registry, registry_root::LocalMachine, key, *Utf8ToUtf16(name),
                               keyVal)
                       ? True
                       : False;
        } catch (const std::invalid_argument&) {
            return Throws;
        }
    };
    for (const auto& [name, data, outcome, expected] : cases) {
        std::u16string keyVal = u"before";
        EXPECT_EQ(read(u"SOFTWARE\\Velnor", name, keyVal), outcome) << name;
        EXPECT_EQ(keyVal, expected) << name;
    }
    std::u16string keyVal = u"before";
    EXPECT_EQ(read(u"SOFTWARE\\系统", "信息", keyVal), True); // names pass in the ANSI code page
    EXPECT_EQ(keyVal, u"ok");
    EXPECT_EQ(read(u"SOFTWARE\\Missing", "Text", keyVal), False);
    EXPECT_EQ(keyVal, u"");
    sysInfo.registry->claimedSize = 2048; // more than the buffer it was handed
    EXPECT_THROW(
        GetKeyValue(registry, registry_root::LocalMachine, u"SOFTWARE\\Velnor", u"Text", keyVal),
        std::length_error);
}

} // namespace
} // namespace velnor::test
