#include "core/about/regedit_registry.h"
#include "tests/support/temp_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace velnor {
namespace {

using namespace std::string_literals;

constexpr std::uint32_t kAllAccess = 0x2003F;

struct Read {
    std::int32_t status = -1;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::string bytes;
};

// Opens the key and, given a name, reads that value into 1024 bytes.
Read Query(Registry& registry, RegistryRoot root, const std::string& key,
           const std::optional<std::string>& name) {
    Read read;
    RegistryKey handle = 0;
    read.status = registry.Open(root, key, 0, kAllAccess, handle);
    if (read.status != registry_status::Success || !name)
        return read;
    std::vector<unsigned char> buffer(1024);
    read.size = 1024;
    read.status = registry.QueryValue(handle, *name, read.type, buffer.data(), read.size);
    if (read.status == registry_status::Success)
        read.bytes.assign(reinterpret_cast<const char*>(buffer.data()), read.size);
    EXPECT_EQ(registry.Close(handle), registry_status::Success);
    return read;
}

// BOM, CR LF, comments, blank lines and indentation are read past; case is
// ignored, later lines win and every key's ancestors exist.
const std::string kFile =
    "\xEF\xBB\xBFREGEDIT4\r\n\r\n; the tool\r\n  [HKEY_LOCAL_MACHINE\\SOFTWARE\\Velnor]  \r\n"
    "\t\"Sz\"=\"C:\\\\Tools\\\\\\\"x\\\"\"\r\n@=\"default\"\n\"Gbk\"=\"系统\"\n"
    "\"Dword\"=dword:1234ABcd\n\"Short\"=dword:7\n\"Text\"=hex(1):61,62,\\\n  63,\\\r\n  64\n"
    "\"Empty\"=hex(1):\n\"Expand\" = hex(2):25,00\n\"Binary\"=hex:de,AD, 7\n"
    "\"Other\"=hex(b):01\n\"Later\"=\"old\"\n[hkey_local_machine\\software\\velnor]\n"
    "\"LATER\"=\"new\"\n[HKEY_CURRENT_USER\\SOFTWARE\\Velnor]\n\"Sz\"=\"user\"\n";

TEST(RegeditRegistry, ValuesHoldTheBytesWindowsWouldStoreUnderTheirKeys) {
    test::TempTree folder;
    RegeditRegistry registry(folder.WriteFile("registry.reg", kFile));
    const std::tuple<std::string, std::uint32_t, std::string> values[] = {
        {"Sz", registry_type::Sz, "C:\\Tools\\\"x\"\0"s},
        {"", registry_type::Sz, "default\0"s},
        {"Gbk", registry_type::Sz, "\xCF\xB5\xCD\xB3\0"s}, // 系统 in GBK
        {"Dword", registry_type::Dword, "\xCD\xAB\x34\x12"s},
        {"Short", registry_type::Dword, "\x07\0\0\0"s},
        {"Text", registry_type::Sz, "abcd"},
        {"Expand", registry_type::ExpandSz, "%\0"s},
        {"Binary", registry_type::Binary, "\xDE\xAD\x07"},
        {"Other", 11, "\x01"},
        {"later", registry_type::Sz, "new\0"s},
    };
    for (const auto& [name, type, bytes] : values) {
        const Read read = Query(registry, registry_root::LocalMachine, "software\\VELNOR", name);
        EXPECT_EQ(read.status, registry_status::Success) << name;
        EXPECT_EQ(read.type, type) << name;
        EXPECT_EQ(read.bytes, bytes) << name;
    }
    EXPECT_EQ(Query(registry, registry_root::CurrentUser, "SOFTWARE\\Velnor", "Sz").bytes,
              "user\0"s);
    EXPECT_EQ(Query(registry, registry_root::LocalMachine, "SOFTWARE\\Velnor", "None").status,
              registry_status::FileNotFound);
    const std::tuple<RegistryRoot, std::string, std::int32_t> keys[] = {
        {registry_root::LocalMachine, "SOFTWARE", registry_status::Success},
        {registry_root::LocalMachine, "SOFT", registry_status::FileNotFound},
        {registry_root::LocalMachine, "SOFTWARE\\Velnor\\Deeper", registry_status::FileNotFound},
        {registry_root::Users, "SOFTWARE\\Velnor", registry_status::FileNotFound},
        {12345, "SOFTWARE\\Velnor", registry_status::InvalidHandle},
    };
    for (const auto& [root, key, status] : keys)
        EXPECT_EQ(Query(registry, root, key, std::nullopt).status, status) << key;
}

TEST(RegeditRegistry, AMissingFileHoldsNoKeysAndAFolderIsAnError) {
    test::TempTree folder;
    RegeditRegistry missing(folder.Path("absent.reg"));
    EXPECT_EQ(Query(missing, registry_root::LocalMachine, "", std::nullopt).status,
              registry_status::FileNotFound);
    RegeditRegistry notAFile(folder.Path("."));
    EXPECT_THROW(Query(notAFile, registry_root::Users, "A", std::nullopt), std::runtime_error);
}

TEST(RegeditRegistry, FileThatCannotBeReadWhollyIsAnErrorNamingTheLine) {
    const std::string key = "REGEDIT4\n[HKEY_USERS\\A]\n";
    const std::pair<std::string, const char*> cases[] = {
        {"", "line 1:"},
        {"REGEDIT4\n\"V\"=\"x\"\n", "line 2:"},
        {"REGEDIT4\n[HKEY_NOWHERE\\A]\n", "line 2:"},
        {key + "\"V\"=\"a\\tb\"\n", "line 3:"},
        {key + "\"V\"=dword:123456789\n", "line 3:"},
        {key + "\"V\"=hex(1):41,\\\n", "line 3:"},
        {key + "\"V\"=\"\xF0\x9F\x98\x80\"\n", "line 3:"}, // no GBK form
        {key + "\"V\"=\"\xC3\"\n", "not UTF-8"},
    };
    test::TempTree folder;
    for (const auto& [text, where] : cases) {
        RegeditRegistry registry(folder.WriteFile("registry.reg", text));
        EXPECT_THAT([&] { Query(registry, registry_root::Users, "A", std::nullopt); },
                    ::testing::ThrowsMessage<RegeditFileError>(::testing::AllOf(
                        ::testing::HasSubstr(where), ::testing::HasSubstr("registry.reg"))))
            << text;
    }
}

} // namespace
} // namespace velnor
