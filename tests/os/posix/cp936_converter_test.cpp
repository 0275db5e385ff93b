#include "core/text/ansi_codec.h"

#include <gtest/gtest.h>

namespace velnor {
namespace {

// glibc leaves the user-defined area of code page 936 out, which Windows
// gives private-use characters: here its pairs are no text, each byte escaped.
TEST(Cp936Converter, TheUserDefinedAreaIsNoTextHere) {
    EXPECT_EQ(DecodeAnsi("\xA2\xE3"), u"\xDCA2\xDCE3");
    EXPECT_EQ(EncodeAnsi(u"\xDCA2\xDCE3"), "\xA2\xE3");
}

} // namespace
} // namespace velnor
