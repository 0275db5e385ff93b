#include "platform/ansi_codec.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>

namespace velnor {
namespace {

using ::testing::HasSubstr;

std::string RoundTrip(const std::string& bytes) {
    return EncodeAnsi(DecodeAnsi(bytes));
}

TEST(AnsiCodec, AsciiIsIdentityBothWays) {
    std::string bytes;
    std::u16string text;
    for (int c = 0; c < 0x80; ++c) {
        bytes += static_cast<char>(c);
        text += static_cast<char16_t>(c);
    }
    EXPECT_EQ(DecodeAnsi(bytes), text);
    EXPECT_EQ(EncodeAnsi(text), bytes);
    EXPECT_EQ(DecodeAnsi(""), u"");
    EXPECT_EQ(EncodeAnsi(u""), "");
}

struct KnownText {
    const char* bytes;
    const char16_t* text;
};

// Code page 936 bytes of some Chinese text, written out byte by byte.
const KnownText GbkSamples[] = {
    {"\xD1\xB9\xCB\xF5", u"压缩"},
    {"\xC4\xE3\xBA\xC3", u"你好"},
    {"<p>\xD6\xD0\xCE\xC4</p>", u"<p>中文</p>"},
    {"\xBE\x57\xED\x93", u"網頁"}, // trail bytes in the ASCII range
    {"\x81\x40", u"丂"},
    {"\x80", u"€"}, // the one single-byte character above ASCII
};

TEST(AnsiCodec, GbkBytesDecodeToTheirChineseCharactersAndBack) {
    for (const KnownText& sample : GbkSamples) {
        SCOPED_TRACE(sample.bytes);
        EXPECT_EQ(DecodeAnsi(sample.bytes), sample.text);
        EXPECT_EQ(EncodeAnsi(sample.text), sample.bytes);
    }
}

TEST(AnsiCodec, FileOfTwoByteCharactersDecodesToHalfAsManyCharacters) {
    std::string bytes;
    for (int i = 0; i < 500; ++i) {
        bytes += "\xD1\xB9\xCB\xF5\xC4\xE3\xBA\xC3\xBE\x57";
    }
    const std::u16string text = DecodeAnsi(bytes);
    EXPECT_EQ(text.size(), bytes.size() / 2);
    EXPECT_EQ(text.substr(0, 5), u"压缩你好網");
    EXPECT_EQ(EncodeAnsi(text), bytes);
}

// Every position of a non-ASCII character within the blocks that the ASCII
// runs are handled in.
TEST(AnsiCodec, ChineseCharacterAnywhereInAsciiRunDecodesInPlace) {
    for (std::size_t at = 0; at <= 40; ++at) {
        SCOPED_TRACE(at);
        std::string bytes(40, 'a');
        bytes.insert(at, "\xD1\xB9");
        std::u16string text(40, u'a');
        text.insert(at, u"压");
        EXPECT_EQ(DecodeAnsi(bytes), text);
        EXPECT_EQ(EncodeAnsi(text), bytes);
    }
}

TEST(AnsiCodec, LongPageDecodesEveryCharacterInOrder) {
    std::string bytes;
    std::u16string text;
    for (int line = 0; line < 3000; ++line) {
        const std::string number = std::to_string(line);
        bytes += "<p>" + number + "\xD1\xB9\xCB\xF5</p>\r\n";
        text += u"<p>" + std::u16string(number.begin(), number.end()) + u"压缩</p>\r\n";
    }
    EXPECT_EQ(DecodeAnsi(bytes), text);
    EXPECT_EQ(EncodeAnsi(text), bytes);
}

TEST(AnsiCodec, InvalidBytesDecodeToTheirEscapes) {
    const KnownText cases[] = {
        {"\xFF", u"\xDCFF"},
        {"a\x81", u"a\xDC81"},                   // lead byte cut off at the end
        {"\xD1\xB9\xD1", u"压\xDCD1"},           // character, then a cut-off lead
        {"\x81 x", u"\xDC81 x"},                 // a space is no trail byte
        {"\x81\x7F", u"\xDC81\x7F"},             // nor is DEL
        {"\xA2\xE3", u"\xDCA2\xDCE3"},           // unassigned pair, then a lone lead
        {"\xFF\xD1\xB9", u"\xDCFF压"},           // decoding goes on after an escape
        {"\x81\xFF\xD1\xB9", u"\xDC81\xDCFF压"}, // FF is neither trail nor lead
    };
    for (const KnownText& sample : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::string(sample.bytes)));
        EXPECT_EQ(DecodeAnsi(sample.bytes), sample.text);
        EXPECT_EQ(RoundTrip(sample.bytes), sample.bytes);
    }
}

TEST(AnsiCodec, EveryEscapeEncodesToItsByte) {
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const std::u16string escape(1, static_cast<char16_t>(0xDC00 + byte));
        EXPECT_EQ(EncodeAnsi(escape), std::string(1, static_cast<char>(byte)));
    }
}

TEST(AnsiCodec, Utf8TextComesBackByteForByte) {
    const std::string utf8 = "<p>Gr\xC3\xBC\xC3\x9F\x65, \xE4\xB8\x96\xE7\x95\x8C \xE2\x80\x94 "
                             "\xF0\x9F\x98\x80</p>\r\n";
    EXPECT_EQ(RoundTrip(utf8), utf8);
    EXPECT_EQ(RoundTrip(utf8.substr(0, utf8.size() - 4)), utf8.substr(0, utf8.size() - 4));
}

TEST(AnsiCodec, EveryTwoByteStringRoundTrips) {
    std::string bytes(2, '\0');
    for (int first = 0; first < 256; ++first) {
        for (int second = 0; second < 256; ++second) {
            bytes[0] = static_cast<char>(first);
            bytes[1] = static_cast<char>(second);
            const std::u16string text = DecodeAnsi(bytes);
            ASSERT_EQ(EncodeAnsi(text), bytes) << first << ' ' << second;
            for (char16_t ch : text) {
                ASSERT_FALSE(ch >= 0xDC00 && ch < 0xDC80) << first << ' ' << second;
            }
        }
    }
}

TEST(AnsiCodec, RandomByteStringsOfEveryLengthRoundTrip) {
    std::mt19937 random(936);
    // Mostly high bytes, with the ASCII range that trail bytes share.
    const std::string alphabet = "\x80\x81\xA1\xB0\xD1\xB9\xFE\xFF\x40\x7E\x7F\x20<%\r\n";
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    for (std::size_t length = 0; length <= 300; ++length) {
        for (int round = 0; round < 20; ++round) {
            std::string bytes(length, '\0');
            for (char& byte : bytes) {
                byte = round % 2 == 0 ? static_cast<char>(anyByte(random)) : alphabet[pick(random)];
            }
            const std::u16string text = DecodeAnsi(bytes);
            ASSERT_LE(text.size(), bytes.size());
            ASSERT_GE(text.size() * 2, bytes.size());
            ASSERT_EQ(EncodeAnsi(text), bytes) << ::testing::PrintToString(bytes);
        }
    }
}

// Long pages cross the codec's internal buffers at every alignment: ASCII
// runs of random length between characters of every other kind.
TEST(AnsiCodec, LongMixedPagesRoundTrip) {
    std::mt19937 random(20);
    const std::string pieces[] = {"\xD1\xB9", "\xBE\x57", "\x80", "\xFF", "\x81", "\xE4\xB8\x96"};
    std::uniform_int_distribution<std::size_t> runLength(0, 40);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    for (int page = 0; page < 20; ++page) {
        std::string bytes;
        while (bytes.size() < 30000) {
            bytes.append(runLength(random), 'a' + page % 26);
            bytes += pieces[pick(random)];
        }
        ASSERT_EQ(RoundTrip(bytes), bytes) << "page " << page;
    }
}

struct Unencodable {
    std::u16string text;
    const char* named;
};

TEST(AnsiCodec, EncodeRejectsCharacterWithNoBytesAndNamesIt) {
    const Unencodable cases[] = {
        {u"ok\xD800", "U+D800"},       // lone high surrogate
        {u"\xDC41", "U+DC41"},         // an escape no decoding produces
        {u"x\xDBFF", "U+DBFF"},        // high surrogate at the very end
        {u"\xDBFF\xDFFF", "U+10FFFF"}, // a pair outside the code page, named whole
        {u"a😀", "U+1F600"},
        {u"ก", "U+0E01"}, // Thai has no place in code page 936
    };
    for (const Unencodable& sample : cases) {
        SCOPED_TRACE(sample.named);
        try {
            EncodeAnsi(sample.text);
            ADD_FAILURE() << "no exception";
        } catch (const std::invalid_argument& error) {
            EXPECT_THAT(error.what(), HasSubstr(sample.named));
        }
    }
}

} // namespace
} // namespace velnor
