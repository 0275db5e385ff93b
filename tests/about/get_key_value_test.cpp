#include "about/key_value_reader.h"

#include "platform/regedit_registry.h"
#include "tests/support/temp_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace velnor {
namespace {

using ::testing::_;
using ::testing::DoAll;
using ::testing::Return;
using ::testing::SetArgReferee;

const QString Key = QStringLiteral("SOFTWARE\\Velnor");
const QString Before = QStringLiteral("before");

struct Outcome {
    bool result;
    QString keyVal;
};

// Reads value "V" from a registry file whose key holds the given value line.
Outcome ReadValueLine(const std::string& line) {
    test::TempTree tree;
    tree.WriteFile("registry.reg",
                   "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Velnor]\n" + line + "\n");
    RegeditRegistry registry(tree.Path("registry.reg"));
    QString keyVal = Before;
    const bool result = GetKeyValue(registry, HKEY_LOCAL_MACHINE, Key, QStringLiteral("V"), keyVal);
    return {result, keyVal};
}

// "41,41,...": count bytes of "A" in a hex list.
std::string HexBytes(int count) {
    std::string list = "41";
    for (int i = 1; i < count; ++i) {
        list += ",41";
    }
    return list;
}

struct ValueCase {
    const char* what;
    std::string line;
    bool result;
    QString keyVal;
};

TEST(GetKeyValueTest, ValuesReadAsTheirText) {
    const std::vector<ValueCase> cases = {
        {"text with its terminator", R"("V"="/usr/bin/hardinfo")", true, "/usr/bin/hardinfo"},
        {"empty text", R"("V"="")", true, ""},
        {"Chinese text through the ANSI code page", R"("V"="系统信息")", true, "系统信息"},
        {"text stored without a terminator", R"("V"=hex(1):41,42)", true, "AB"},
        {"two terminators keep one", R"("V"=hex(1):41,00,00)", true, QString::fromUtf16(u"A\0", 2)},
        {"a lone terminator", R"("V"=hex(1):00)", true, ""},
        {"bytes that are no character", R"("V"=hex(1):ff)", true, QString(QChar(0xDCFF))},
        {"text filling the buffer with its terminator", "\"V\"=\"" + std::string(1023, 'x') + "\"",
         true, QString(1023, u'x')},
        {"text one byte too long", "\"V\"=\"" + std::string(1024, 'x') + "\"", false, ""},
        {"text far too long", "\"V\"=hex(1):" + HexBytes(2000), false, ""},
        {"dword 255", R"("V"=dword:000000ff)", true, "&hFF"},
        {"dword 0", R"("V"=dword:00000000)", true, "&h0"},
        {"dword whose top byte is 0", R"("V"=dword:00000100)", true, "&h100"},
        {"dword with every bit", R"("V"=dword:ffffffff)", true, "&hFFFFFFFF"},
        {"dword with leading zero digits", R"("V"=dword:0a0b0c0d)", true, "&hA0B0C0D"},
        {"expandable text is left alone", R"("V"=hex(2):25,00)", true, Before},
        {"binary is left alone", R"("V"=hex:01,02)", true, Before},
        {"a missing value", R"("W"="x")", false, ""},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome outcome = ReadValueLine(c.line);
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(outcome.keyVal, c.keyVal);
    }
}

TEST(GetKeyValueTest, MissingKeyGivesFalseAndEmptyText) {
    test::TempTree tree;
    tree.WriteFile("registry.reg",
                   "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n\"V\"=\"x\"\n");
    RegeditRegistry registry(tree.Path("registry.reg"));
    QString keyVal = Before;
    EXPECT_FALSE(GetKeyValue(registry, HKEY_LOCAL_MACHINE, Key, QStringLiteral("V"), keyVal));
    EXPECT_TRUE(keyVal.isEmpty());
}

TEST(GetKeyValueTest, ValueWithNoDataIsAnInvalidArgument) {
    test::TempTree tree;
    tree.WriteFile("registry.reg",
                   "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Velnor]\n\"V\"=hex(1):\n");
    RegeditRegistry registry(tree.Path("registry.reg"));
    QString keyVal;
    EXPECT_THROW(GetKeyValue(registry, HKEY_LOCAL_MACHINE, Key, QStringLiteral("V"), keyVal),
                 std::invalid_argument);
}

TEST(GetKeyValueTest, DwordLongerThanFourBytesIsAnInvalidArgument) {
    EXPECT_THROW(ReadValueLine(R"("V"=hex(4):01,02,03,04,05)"), std::invalid_argument);
}

class MockRegistry : public Registry {
public:
    MOCK_METHOD(std::int32_t, Open,
                (RegistryRoot, const std::string&, std::uint32_t, std::uint32_t, RegistryKey&),
                (override));
    MOCK_METHOD(std::int32_t, QueryValue,
                (RegistryKey, const std::string&, std::uint32_t&, unsigned char*, std::uint32_t&),
                (override));
    MOCK_METHOD(std::int32_t, Close, (RegistryKey), (override));
};

// A query answer: the given type and bytes, after checking the buffer it was handed.
auto Answer(std::uint32_t type, std::string bytes) {
    return [type, bytes](RegistryKey, const std::string&, std::uint32_t& outType,
                         unsigned char* data, std::uint32_t& size) {
        EXPECT_EQ(size, 1024u);
        EXPECT_TRUE(std::all_of(data, data + size, [](unsigned char b) { return b == 0; }))
            << "the buffer is zero-filled before each query";
        outType = type;
        std::memcpy(data, bytes.data(), bytes.size());
        size = static_cast<std::uint32_t>(bytes.size());
        return registry_status::Success;
    };
}

TEST(GetKeyValueTest, OpensWithOptionsZeroAndTheAccessMaskThenCloses) {
    MockRegistry registry;
    ::testing::InSequence order;
    EXPECT_CALL(registry, Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Velnor", 0u, 0x2003Fu, _))
        .WillOnce(DoAll(SetArgReferee<4>(RegistryKey{42}), Return(registry_status::Success)));
    EXPECT_CALL(registry, QueryValue(RegistryKey{42}, "V", _, _, _))
        .WillOnce(Answer(registry_type::Sz, std::string("ok\0", 3)));
    EXPECT_CALL(registry, Close(RegistryKey{42})).WillOnce(Return(registry_status::Success));
    QString keyVal;
    EXPECT_TRUE(GetKeyValue(registry, HKEY_LOCAL_MACHINE, Key, QStringLiteral("V"), keyVal));
    EXPECT_EQ(keyVal, "ok");
}

TEST(GetKeyValueTest, NamesReachTheRegistryInTheAnsiCodePage) {
    MockRegistry registry;
    EXPECT_CALL(registry, Open(_, "\xCF\xB5\xCD\xB3", _, _, _))
        .WillOnce(DoAll(SetArgReferee<4>(RegistryKey{7}), Return(registry_status::Success)));
    EXPECT_CALL(registry, QueryValue(_, "\xD0\xC5\xCF\xA2", _, _, _))
        .WillOnce(Return(registry_status::FileNotFound));
    EXPECT_CALL(registry, Close(RegistryKey{7}));
    QString keyVal = Before;
    EXPECT_FALSE(GetKeyValue(registry, HKEY_LOCAL_MACHINE, QStringLiteral("系统"),
                             QStringLiteral("信息"), keyVal));
    EXPECT_TRUE(keyVal.isEmpty());
}

TEST(GetKeyValueTest, KeyThatWouldNotOpenIsNotClosed) {
    MockRegistry registry;
    EXPECT_CALL(registry, Open(_, _, _, _, _)).WillOnce(Return(5)); // access denied
    EXPECT_CALL(registry, QueryValue(_, _, _, _, _)).Times(0);
    EXPECT_CALL(registry, Close(_)).Times(0);
    QString keyVal = Before;
    EXPECT_FALSE(GetKeyValue(registry, HKEY_LOCAL_MACHINE, Key, QStringLiteral("V"), keyVal));
    EXPECT_TRUE(keyVal.isEmpty());
}

TEST(GetKeyValueTest, KeyIsClosedWhenTheValueRaisesAnError) {
    MockRegistry registry;
    EXPECT_CALL(registry, Open(_, _, _, _, _))
        .WillOnce(DoAll(SetArgReferee<4>(RegistryKey{9}), Return(registry_status::Success)));
    EXPECT_CALL(registry, QueryValue(_, _, _, _, _)).WillOnce(Answer(registry_type::Sz, ""));
    EXPECT_CALL(registry, Close(RegistryKey{9}));
    QString keyVal;
    EXPECT_THROW(GetKeyValue(registry, HKEY_LOCAL_MACHINE, Key, QStringLiteral("V"), keyVal),
                 std::invalid_argument);
}

TEST(GetKeyValueTest, RegistryClaimingMoreThanTheBufferIsAnError) {
    MockRegistry registry;
    EXPECT_CALL(registry, Open(_, _, _, _, _)).WillOnce(Return(registry_status::Success));
    EXPECT_CALL(registry, QueryValue(_, _, _, _, _))
        .WillOnce(DoAll(SetArgReferee<2>(registry_type::Sz), SetArgReferee<4>(2048u),
                        Return(registry_status::Success)));
    EXPECT_CALL(registry, Close(_));
    QString keyVal;
    EXPECT_THROW(GetKeyValue(registry, HKEY_LOCAL_MACHINE, Key, QStringLiteral("V"), keyVal),
                 std::length_error);
}

} // namespace
} // namespace velnor
