#include "core/text/ansi_codec.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>

namespace velnor {
namespace {

struct KnownText {
    std::string bytes;
    std::u16string text;
};

// Code page 936 text written out byte by byte, and bytes that are no
// character, which decode to the escape U+DC00 + byte and encode back to it.
const KnownText kKnownTexts[] = {
    {"", u""},
    {"<p>\xD6\xD0\xCE\xC4</p>", u"<p>中文</p>"},
    {"\xBE\x57\xED\x93", u"網頁"}, // trail bytes in the ASCII range
    {"\x80", u"€"},                // the one single-byte character above ASCII
    {"\xFF", u"\xDCFF"},
    {"a\x81", u"a\xDC81"},                   // lead byte cut off at the end
    {"\x81 x", u"\xDC81 x"},                 // a space is no trail byte
    {"\x81\x7F", u"\xDC81\x7F"},             // nor is DEL
    {"\x81\xFF\xD1\xB9", u"\xDC81\xDCFF压"}, // FF is neither trail nor lead
};

TEST(AnsiCodec, KnownBytesDecodeToKnownCharactersAndEncodeBack) {
    for (const KnownText& known : kKnownTexts) {
        EXPECT_EQ(DecodeAnsi(known.bytes), known.text) << ::testing::PrintToString(known.bytes);
        EXPECT_EQ(EncodeAnsi(known.text), known.bytes) << ::testing::PrintToString(known.bytes);
    }
}

TEST(AnsiCodec, EveryTwoByteStringRoundTrips) {
    for (int pair = 0; pair < 0x10000; ++pair) {
        const std::string bytes = {static_cast<char>(pair >> 8), static_cast<char>(pair)};
        const std::u16string text = DecodeAnsi(bytes);
        ASSERT_EQ(EncodeAnsi(text), bytes) << pair;
        ASSERT_TRUE(std::none_of(text.begin(), text.end(), [](char16_t c) {
            return c >= 0xDC00 && c < 0xDC80;
        })) << pair; // an ASCII byte is never escaped
    }
}

// Digit runs (no trail bytes) of random length put the characters between them
// at every place of the codec's blocks and buffers.
TEST(AnsiCodec, LongPagesDecodeEveryCharacterInPlaceAndBack) {
    const KnownText pieces[] = {{"\xBE\x57", u"網"}, {"\x80", u"€"}, {"\x81", u"\xDC81"}};
    std::mt19937 random(20);
    for (int page = 0; page < 20; ++page) {
        KnownText whole;
        while (whole.bytes.size() < 30000) {
            const std::size_t run = 1 + random() % 40;
            whole.bytes.append(run, static_cast<char>('0' + page % 10));
            whole.text.append(run, static_cast<char16_t>('0' + page % 10));
            const KnownText& piece = pieces[random() % std::size(pieces)];
            whole.bytes += piece.bytes;
            whole.text += piece.text;
        }
        ASSERT_EQ(DecodeAnsi(whole.bytes), whole.text) << "page " << page;
        ASSERT_EQ(EncodeAnsi(whole.text), whole.bytes) << "page " << page;
    }
}

TEST(AnsiCodec, EncodeRejectsCharacterWithNoBytesAndNamesIt) {
    const std::pair<std::u16string, const char*> cases[] = {
        {u"ok\xD800", "U+D800"},       // lone high surrogate
        {u"\xDC41", "U+DC41"},         // an escape no decoding produces
        {u"\xDBFF\xDFFF", "U+10FFFF"}, // a pair outside the code page, named whole
        {u"ก", "U+0E01"},              // Thai has no place in code page 936
    };
    for (const auto& [text, named] : cases) {
        EXPECT_THAT([&] { EncodeAnsi(text); },
                    ::testing::ThrowsMessage<std::invalid_argument>(::testing::HasSubstr(named)));
    }
}

} // namespace
} // namespace velnor
