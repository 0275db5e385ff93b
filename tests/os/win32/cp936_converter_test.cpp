#include "core/text/ansi_codec.h"
#include "core/text/cp936_tables.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace velnor {
namespace {

// What MultiByteToWideChar and WideCharToMultiByte give for code page 936,
// whatever the machine's own ANSI code page.
TEST(Cp936Converter, TakesTheSystemsTablesAndRefusesWhatTheyLack) {
    const std::unique_ptr<CodePageConverter> converter = MakeCp936Converter();
    EXPECT_EQ(converter->Decode("\xD6\xD0\xCE\xC4"), u"中文");
    EXPECT_EQ(converter->Encode(u"中文"), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(converter->Decode("\x81"), u"");   // a lead byte alone
    EXPECT_EQ(converter->Encode(u"\x00C0"), ""); // no À in the code page, and no best fit "A"
    EXPECT_EQ(converter->Encode(u"\xD800"), ""); // nor has a lone surrogate
    // Windows gives the user-defined area of code page 936 private-use
    // characters, which glibc leaves out: here they are characters, and round trip.
    EXPECT_EQ(DecodeAnsi("\xAA\xA1"), u"\xE000");
    EXPECT_EQ(EncodeAnsi(u"\xE000"), "\xAA\xA1");
}

} // namespace
} // namespace velnor
