#include "platform/regedit_registry.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace velnor {
namespace {

using namespace std::string_literals;

struct Read {
    std::int32_t status = -1;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::string bytes;
};

class RegeditRegistryTest : public ::testing::Test {
protected:
    std::filesystem::path Write(const std::string& text) {
        const std::filesystem::path path = dir_.filePath("registry.reg").toStdString();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        return path;
    }

    // The file holding one key with the given value lines.
    RegeditRegistry WithValues(const std::string& lines) {
        return RegeditRegistry(
            Write("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Velnor]\n" + lines + "\n"));
    }

    static Read Query(Registry& registry, const std::string& key, const std::string& name,
                      std::uint32_t room = 1024, RegistryRoot root = HKEY_LOCAL_MACHINE) {
        Read read;
        RegistryKey handle = 0;
        read.status = registry.Open(root, key, 0, 0x2003F, handle);
        if (read.status != registry_status::Success) {
            return read;
        }
        std::vector<unsigned char> buffer(room);
        read.size = room;
        read.status = registry.QueryValue(handle, name, read.type, buffer.data(), read.size);
        if (read.status == registry_status::Success) {
            read.bytes.assign(reinterpret_cast<const char*>(buffer.data()), read.size);
        }
        EXPECT_EQ(registry.Close(handle), registry_status::Success);
        return read;
    }

    static Read Value(Registry& registry, const std::string& name) {
        return Query(registry, "SOFTWARE\\Velnor", name);
    }

    QTemporaryDir dir_;
};

struct ValueCase {
    const char* line;
    std::uint32_t type;
    std::string bytes;
};

TEST_F(RegeditRegistryTest, ValuesHoldTheBytesWindowsWouldStore) {
    const std::vector<ValueCase> cases = {
        {R"("V"="/usr/bin/hardinfo")", registry_type::Sz, "/usr/bin/hardinfo\0"s},
        {R"("V"="")", registry_type::Sz, "\0"s},
        {R"("V"="C:\\Tools\\\"x\"")", registry_type::Sz, "C:\\Tools\\\"x\"\0"s},
        // UTF-8 text becomes GBK bytes: 系 = CF B5, 统 = CD B3.
        {R"("V"="系统")", registry_type::Sz, "\xCF\xB5\xCD\xB3\0"s},
        {R"("V"=dword:000000ff)", registry_type::Dword, "\xFF\0\0\0"s},
        {R"("V"=dword:1234ABcd)", registry_type::Dword, "\xCD\xAB\x34\x12"s},
        {R"("V"=dword:7)", registry_type::Dword, "\x07\0\0\0"s},
        {R"("V"=hex(1):41,42)", registry_type::Sz, "AB"},
        {R"("V"=hex(1):41,00,00)", registry_type::Sz, "A\0\0"s},
        {R"("V"=hex(1):)", registry_type::Sz, ""},
        {R"("V"=hex(2):25,00)", registry_type::ExpandSz, "%\0"s},
        {R"("V"=hex:de,AD, 7)", registry_type::Binary, "\xDE\xAD\x07"},
        {R"("V"=hex(b):01)", 11, "\x01"},
        {R"("V" = "spaced")", registry_type::Sz, "spaced\0"s},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.line);
        RegeditRegistry registry = WithValues(c.line);
        const Read read = Value(registry, "V");
        ASSERT_EQ(read.status, registry_status::Success);
        EXPECT_EQ(read.type, c.type);
        EXPECT_EQ(read.size, c.bytes.size());
        EXPECT_EQ(read.bytes, c.bytes);
    }
}

TEST_F(RegeditRegistryTest, HexListsGoOnAfterABackslash) {
    RegeditRegistry registry = WithValues("\"V\"=hex(1):61,62,\\\n  63,\\\r\n  64\n\"W\"=\"next\"");
    EXPECT_EQ(Value(registry, "V").bytes, "abcd");
    EXPECT_EQ(Value(registry, "W").bytes, "next\0"s);
}

TEST_F(RegeditRegistryTest, AtSignNamesTheDefaultValue) {
    RegeditRegistry registry = WithValues(R"(@="default")");
    EXPECT_EQ(Value(registry, "").bytes, "default\0"s);
}

TEST_F(RegeditRegistryTest, NamesAndKeysMatchWithoutRegardToCase) {
    RegeditRegistry registry = WithValues(R"("Path"="x")");
    EXPECT_EQ(Query(registry, "software\\VELNOR", "PATH").bytes, "x\0"s);
}

TEST_F(RegeditRegistryTest, KeysAboveAWrittenKeyExist) {
    RegeditRegistry registry = WithValues("");
    RegistryKey handle = 0;
    EXPECT_EQ(registry.Open(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, 0x2003F, handle),
              registry_status::Success);
    EXPECT_EQ(registry.Open(HKEY_LOCAL_MACHINE, "", 0, 0x2003F, handle), registry_status::Success);
    EXPECT_EQ(registry.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Velnor\\Deeper", 0, 0x2003F, handle),
              registry_status::FileNotFound);
    EXPECT_EQ(registry.Open(HKEY_LOCAL_MACHINE, "SOFT", 0, 0x2003F, handle),
              registry_status::FileNotFound);
}

TEST_F(RegeditRegistryTest, EachRootHoldsItsOwnKeys) {
    RegeditRegistry registry(Write("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"V\"=\"user\"\n"
                                   "[HKEY_LOCAL_MACHINE\\A]\n\"V\"=\"machine\"\n"));
    EXPECT_EQ(Query(registry, "A", "V", 1024, HKEY_CURRENT_USER).bytes, "user\0"s);
    EXPECT_EQ(Query(registry, "A", "V").bytes, "machine\0"s);
    EXPECT_EQ(Query(registry, "A", "V", 1024, HKEY_USERS).status, registry_status::FileNotFound);
    EXPECT_EQ(Query(registry, "A", "V", 1024, 12345).status, registry_status::InvalidHandle);
}

TEST_F(RegeditRegistryTest, LaterLinesAddToAndReplaceEarlierOnes) {
    RegeditRegistry registry(Write("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"V\"=\"old\"\n\"W\"=\"w\"\n"
                                   "[HKEY_LOCAL_MACHINE\\a]\n\"v\"=\"new\"\n"));
    EXPECT_EQ(Query(registry, "A", "V").bytes, "new\0"s);
    EXPECT_EQ(Query(registry, "A", "W").bytes, "w\0"s);
}

TEST_F(RegeditRegistryTest, WindowsLineEndsByteOrderMarkCommentsAndBlankLinesAreRead) {
    RegeditRegistry registry(Write("\xEF\xBB\xBFREGEDIT4\r\n\r\n; the tool\r\n"
                                   "  [HKEY_LOCAL_MACHINE\\A]  \r\n\t\"V\"=\"x\"\r\n"));
    EXPECT_EQ(Query(registry, "A", "V").bytes, "x\0"s);
}

TEST_F(RegeditRegistryTest, MissingValueIsNotFound) {
    RegeditRegistry registry = WithValues(R"("V"="x")");
    EXPECT_EQ(Value(registry, "W").status, registry_status::FileNotFound);
}

TEST_F(RegeditRegistryTest, DataLongerThanTheRoomGivesMoreDataAndTheLengthNeeded) {
    RegeditRegistry registry = WithValues("\"V\"=\"" + std::string(1024, 'x') + "\"");
    const Read tooLong = Query(registry, "SOFTWARE\\Velnor", "V", 1024);
    EXPECT_EQ(tooLong.status, registry_status::MoreData);
    EXPECT_EQ(tooLong.size, 1025u);
    const Read fits = Query(registry, "SOFTWARE\\Velnor", "V", 1025);
    EXPECT_EQ(fits.status, registry_status::Success);
    EXPECT_EQ(fits.bytes, std::string(1024, 'x') + '\0');
}

TEST_F(RegeditRegistryTest, NoBufferAsksOnlyForTypeAndLength) {
    RegeditRegistry registry = WithValues(R"("V"="abc")");
    RegistryKey handle = 0;
    ASSERT_EQ(registry.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Velnor", 0, 0x2003F, handle),
              registry_status::Success);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(registry.QueryValue(handle, "V", type, nullptr, size), registry_status::Success);
    EXPECT_EQ(type, registry_type::Sz);
    EXPECT_EQ(size, 4u);
}

TEST_F(RegeditRegistryTest, ClosedOrUnknownHandlesAreRefused) {
    RegeditRegistry registry = WithValues(R"("V"="abc")");
    RegistryKey handle = 0;
    ASSERT_EQ(registry.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Velnor", 0, 0x2003F, handle),
              registry_status::Success);
    EXPECT_EQ(registry.Close(handle), registry_status::Success);
    EXPECT_EQ(registry.Close(handle), registry_status::InvalidHandle);
    std::uint32_t type = 0;
    std::uint32_t size = 1024;
    unsigned char buffer[1024] = {};
    EXPECT_EQ(registry.QueryValue(handle, "V", type, buffer, size), registry_status::InvalidHandle);
}

TEST_F(RegeditRegistryTest, MissingFileHoldsNoKeys) {
    RegeditRegistry registry(dir_.filePath("absent.reg").toStdString());
    RegistryKey handle = 0;
    EXPECT_EQ(registry.Open(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, 0x2003F, handle),
              registry_status::FileNotFound);
}

TEST_F(RegeditRegistryTest, FileIsReadOnlyWhenAKeyIsFirstOpened) {
    const std::filesystem::path path = Write("not a registry file");
    RegeditRegistry registry(path); // no error yet: the About box must open regardless
    Write("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"V\"=\"x\"\n");
    EXPECT_EQ(Query(registry, "A", "V").bytes, "x\0"s);
    Write("REGEDIT4\n");
    EXPECT_EQ(Query(registry, "A", "V").bytes, "x\0"s) << "kept as first read";
}

TEST_F(RegeditRegistryTest, FolderInPlaceOfTheFileIsAnError) {
    RegeditRegistry registry(dir_.path().toStdString());
    RegistryKey handle = 0;
    EXPECT_THROW(registry.Open(HKEY_LOCAL_MACHINE, "A", 0, 0x2003F, handle), std::runtime_error);
}

struct BadFile {
    std::string text;
    const char* where; // the description names the line
};

TEST_F(RegeditRegistryTest, FileThatCannotBeReadWhollyIsAnErrorNamingTheLine) {
    const std::string key = "[HKEY_LOCAL_MACHINE\\A]\n";
    const std::vector<BadFile> cases = {
        {"", "line 1:"},
        {"Windows Registry Editor Version 5.00\n" + key, "line 1:"},
        {"REGEDIT4\n\"V\"=\"x\"\n", "line 2:"},
        {"REGEDIT4\n" + key + "\"V\"=\"a\\tb\"\n", "line 3:"},
        {"REGEDIT4\n" + key + "\"V\"=\"open\n", "line 3:"},
        {"REGEDIT4\n" + key + "\"V\"=\"x\" tail\n", "line 3:"},
        {"REGEDIT4\n" + key + "\"V\" \"x\"\n", "line 3:"},
        {"REGEDIT4\n" + key + "\"V\"=dword:123456789\n", "line 3:"},
        {"REGEDIT4\n" + key + "\"V\"=dword:\n", "line 3:"},
        {"REGEDIT4\n" + key + "\"V\"=dword:0x10\n", "line 3:"},
        {"REGEDIT4\n" + key + "\"V\"=hex(1):4g\n", "line 3:"},
        {"REGEDIT4\n" + key + "\"V\"=hex(1):41,\n", "line 3:"},
        {"REGEDIT4\n" + key + "\"V\"=hex(1):411\n", "line 3:"},
        {"REGEDIT4\n" + key + "\"V\"=hex(z):41\n", "line 3:"},
        {"REGEDIT4\n" + key + "\"V\"=hex(1:41\n", "line 3:"},
        {"REGEDIT4\n" + key + "\"V\"=hex 41\n", "line 3:"},
        {"REGEDIT4\n" + key + "\"V\"=hex(1):41,\\\n", "line 3:"},
        {"REGEDIT4\n" + key + "\"V\"=-\n", "line 3:"},
        {"REGEDIT4\n" + key + "\"V\"=str(1):x\n", "line 3:"},
        {"REGEDIT4\n" + key + "V=\"x\"\n", "line 3:"},
        {"REGEDIT4\n" + key + "\"V\"=\"\xF0\x9F\x98\x80\"\n", "line 3:"}, // no GBK form
        {"REGEDIT4\n[HKEY_NOWHERE\\A]\n", "line 2:"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\n", "line 2:"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\\\A]\n", "line 2:"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\\]\n", "line 2:"},
        {"REGEDIT4\n[-HKEY_LOCAL_MACHINE\\A]\n", "line 2:"},
        {"REGEDIT4\n" + key + "\"V\"=\"\xC3\"\n", "not UTF-8"},
    };
    for (const BadFile& c : cases) {
        SCOPED_TRACE(c.text);
        RegeditRegistry registry(Write(c.text));
        RegistryKey handle = 0;
        try {
            registry.Open(HKEY_LOCAL_MACHINE, "A", 0, 0x2003F, handle);
            ADD_FAILURE() << "read without an error";
        } catch (const RegeditFileError& error) {
            EXPECT_NE(std::string(error.what()).find(c.where), std::string::npos) << error.what();
            EXPECT_NE(std::string(error.what()).find("registry.reg"), std::string::npos);
        }
    }
}

} // namespace
} // namespace velnor
