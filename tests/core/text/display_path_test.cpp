#include "core/text/display_path.h"
#include "core/text/path_text.h"
#include "core/text/utf8.h"
#include "tests/support/system_names.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace velnor {
namespace {

TEST(DisplayPath, ShowsEveryNameAsReadableUtf8WithControlsEscaped) {
    using Case = std::pair<std::string, std::string>; // bytes, shown
    // what would act on a terminal or a label shows escaped, on every system
    const Case text[] = {
        {"/站点/页面.htm", "/站点/页面.htm"},
        {"/w/a\x1B[2Jb\x07", "/w/a\\x1B[2Jb\\x07"},
        {"/w/\xC2\x9B"
         "31m\xC2\xA0",
         "/w/\\u009B31m\xC2\xA0"}, // C1 CSI; no-break space stays
        {"/w/\xE2\x80\xAE"
         "exe.htm\xE2\x81\xA6",
         "/w/\\u202Eexe.htm\\u2066"},
    };
    for (const auto& [bytes, shown] : text)
        EXPECT_EQ(DisplayPath(PathFromUtf8(bytes)), shown) << bytes;
    if (!test::NamesAreBytes)
        GTEST_SKIP() << "names are UTF-16 text here, never bytes to be read";
    const Case cases[] = {
        {"/w/\xC4\xE3\xBA\xC3.htm", "/w/你好.htm"}, // GBK is read as GBK
        {"/w/a\xFF"
         "b",
         "/w/a\\xFFb"},          // no character at all
        {"/w/\xC4", "/w/\\xC4"}, // lead byte cut off
        {"/\xC4\xE3\x1B\xBA\xC3/\n", "/你\\x1B好/\\n"},
    };
    for (const auto& [bytes, shown] : cases)
        EXPECT_EQ(DisplayPath(std::filesystem::path(bytes)), shown) << bytes;
}

TEST(DisplayPath, TakesOnlyWellFormedUtf8ForUtf8) {
    for (const char* valid :
         {"", "\xC3\xA9", "\xE4\xBD\xA0", "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF"})
        EXPECT_TRUE(IsValidUtf8(valid)) << valid;
    // overlong forms, a surrogate, past U+10FFFF, cut short, a lone continuation, GBK
    for (const char* invalid : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                                "\xE4\xBD", "\x80", "\xC4\xE3\xBA\xC3"})
        EXPECT_FALSE(IsValidUtf8(invalid)) << invalid;
}

} // namespace
} // namespace velnor
