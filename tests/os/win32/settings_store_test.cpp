#include "core/about/key_value_reader.h"
#include "os/win32/registry_settings_store.h"
#include "tests/os/win32/test_key.h"

#include <gtest/gtest.h>

#include <string>

namespace velnor::test {
namespace {

// Application\section a key, each key a REG_SZ value: a Chinese folder comes
// back as written, the last write winning; a missing entry gives the default.
TEST(RegistrySettingsStore, KeepsTheFolderAsTextUnderApplicationAndSection) {
    const TestKey key;
    RegistrySettingsStore store(std::wstring(key.Path().begin(), key.Path().end()));
    EXPECT_EQ(store.Read("Trimora", "Root", "Path", "C:\\"), "C:\\");
    store.Write("Trimora", "Root", "Path", "D:\\old");
    store.Write("Trimora", "Root", "Path", "D:\\站点\\页面");
    EXPECT_EQ(store.Read("Trimora", "Root", "Path", "C:\\"), "D:\\站点\\页面");
    std::u16string stored;
    const std::u16string root(key.Path().begin(), key.Path().end());
    EXPECT_TRUE(GetKeyValue(*MakeSystemRegistry(), registry_root::CurrentUser,
                            root + u"\\Trimora\\Root", u"Path", stored));
    EXPECT_EQ(stored, u"D:\\站点\\页面");
    EXPECT_EQ(store.Read("Trimora", "Root", "Other", "none"), "none");
    EXPECT_EQ(store.Read("Trimora", "Elsewhere", "Path", "none"), "none");
}

} // namespace
} // namespace velnor::test
