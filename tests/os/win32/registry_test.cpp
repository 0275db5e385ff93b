#include "core/about/key_value_reader.h"
#include "core/about/registry.h"
#include "tests/os/win32/test_key.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace velnor::test {
namespace {

// The advapi32 reader on keys the test writes: ANSI text in code page 936,
// numbers, and what is missing or too long for the buffer.
TEST(Win32Registry, ReadsTheValuesTheTestWrote) {
    const TestKey key;
    key.SetText("PATH", "C:\\\xB9\xA4\xBE\xDF\\msinfo32.exe"); // 工具 in GBK
    key.SetText("Bare", "AB", false);
    key.SetText("Long", std::string(1024, 'x'));
    key.SetNumber("Number", 255);
    const std::unique_ptr<Registry> registry = MakeSystemRegistry();
    const std::u16string path(key.Path().begin(), key.Path().end());
    const struct {
        std::u16string key, value;
        bool found;
        std::u16string text;
    } cases[] = {
        {path, u"PATH", true, u"C:\\工具\\msinfo32.exe"},
        {path, u"Bare", true, u"AB"},
        {path, u"Number", true, u"&hFF"},
        {path, u"Long", false, u""}, // 1025 bytes with its NUL
        {path, u"Missing", false, u""},
        {path + u"\\Missing", u"PATH", false, u""},
    };
    for (const auto& c : cases) {
        std::u16string text = u"before";
        EXPECT_EQ(GetKeyValue(*registry, registry_root::CurrentUser, c.key, c.value, text),
                  c.found);
        EXPECT_EQ(text, c.text);
    }
}

} // namespace
} // namespace velnor::test
